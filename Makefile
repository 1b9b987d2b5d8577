# make        builds build/SETUP.EXE
# make test   installs what is missing, builds, checks the code statically,
#             runs every test under Wine
# make demo   installs what is missing, builds, lays out a sample medium and
#             runs the setup on it under Wine
# make bench  times the file assembly against cat and msexpand
BUILD := build

.PHONY: all build bootstrap test demo bench clean

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
	scripts/run-tests $(BUILD)

demo: bootstrap
	$(MAKE) build
	scripts/demo $(BUILD)

bench: bootstrap
	$(MAKE) build
	scripts/bench $(BUILD)

clean:
	rm -rf $(BUILD)
