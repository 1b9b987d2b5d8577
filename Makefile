# make        builds build/SETUP.EXE
# make test   installs what is missing, builds, checks the code statically,
#             runs every test under Wine
# make demo   installs what is missing, builds, lays out a sample medium and
#             runs the setup on it under Wine
# make bench  times the file assembly against cat and msexpand
# make test-versions  the window tests as Windows 95, 98, XP, 7 and 10
BUILD := build

.PHONY: all build bootstrap test test-versions demo bench clean

all: build

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j2

bootstrap:
	scripts/bootstrap

test: bootstrap
	$(MAKE) build
	scripts/static-check
	QSETUP_VERSIONS="win98 win10" scripts/run-tests $(BUILD)

# The programs that start SETUP.EXE, once per Windows version Wine reports.
test-versions: bootstrap
	$(MAKE) build
	QSETUP_VERSIONS="win95 win98 winxp win7 win10" scripts/run-tests $(BUILD) -R "app_tests|max_tests"

demo: bootstrap
	$(MAKE) build
	scripts/demo $(BUILD)

bench: bootstrap
	$(MAKE) build
	scripts/bench $(BUILD)

clean:
	rm -rf $(BUILD)
