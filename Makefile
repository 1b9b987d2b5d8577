# make        builds build/SETUP.EXE (the shipped i686 program),
#             build/QCHECK.EXE (the medium checker) and build/QLAYOUT.EXE
#             (the layout program), nothing else
# make test   installs what is missing, builds, checks the code statically and
#             the shipped program's form and its formats, runs every test
#             under Wine
# make demo   installs what is missing, builds, lays out a sample medium,
#             checks it with QCHECK.EXE and runs the setup on it under Wine
# make bench  times the file assembly against cat and msexpand
# make fuzz   the loader on FUZZ_RUNS mutated descriptions (100000) from
#             FUZZ_SEED (a new one each time unless given), from run
#             FUZZ_FIRST (0) on
# make test-versions  the window tests as Windows 95, 98, XP, 7 and 10
#
# Tests, demo, bench and fuzz run under the Wine this host can run
# (scripts/arch): i686 builds in build/ under 32-bit Wine, x86_64 builds in
# build/x86_64/ under 64-bit Wine. QSETUP_ARCH=i686 or QSETUP_ARCH=x86_64
# forces one.
BUILD := build
comma := ,
FUZZ_RUNS ?= 100000
FUZZ_SEED ?=
FUZZ_FIRST ?= 0
# Only the targets that run Wine ask the host probe, once.
WINE_GOALS := arch bootstrap build-run test test-versions demo bench fuzz
ifneq ($(filter $(WINE_GOALS),$(MAKECMDGOALS)),)
# "arch: i686, tests under 32-bit Wine: why" -> i686
QSETUP_ARCH_SAY := $(shell scripts/arch --say)
QSETUP_ARCH := $(patsubst %$(comma),%,$(word 2,$(QSETUP_ARCH_SAY)))
ifeq ($(filter i686 x86_64,$(QSETUP_ARCH)),)
$(error QSETUP_ARCH must be i686 or x86_64)
endif
export QSETUP_ARCH
endif
ifeq ($(QSETUP_ARCH),x86_64)
RUN_BUILD := $(BUILD)/x86_64
else
RUN_BUILD := $(BUILD)
endif

.PHONY: all build build-run arch bootstrap test test-versions demo bench fuzz clean

all: build

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release

$(BUILD)/x86_64/CMakeCache.txt:
	cmake -S . -B $(BUILD)/x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release

# The shipped program alone.
build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) --target setup qcheck qlayout -j2

# Everything the tests, the demo and the bench run, for this host's Wine;
# and the shipped program.
build-run: build $(RUN_BUILD)/CMakeCache.txt
	cmake --build $(RUN_BUILD) -j2

# The first line of every run: which Wine, and why.
arch:
	@printf '%s\n' '$(subst ','\'',$(QSETUP_ARCH_SAY))'

bootstrap: arch
	@scripts/bootstrap

test: bootstrap
	$(MAKE) build-run
	scripts/check-exe --imports tests/scripts/setup-imports.txt $(BUILD)/SETUP.EXE
	@# The checker and the layout program are linked as SETUP.EXE is:
	@# crtdll.dll, no CryptoAPI.
	@for exe in QCHECK QLAYOUT; do \
	  if i686-w64-mingw32-objdump -p $(BUILD)/$$exe.EXE | grep -iE 'msvcrt|Crypt'; then \
	    echo "$$exe.EXE imports msvcrt.dll or CryptoAPI"; exit 1; fi; done
	scripts/check-formats
	scripts/static-check
	QSETUP_VERSIONS="win98 win10" scripts/run-tests $(RUN_BUILD)

# The programs that start SETUP.EXE, once per Windows version Wine reports.
test-versions: bootstrap
	$(MAKE) build-run
	QSETUP_VERSIONS="win95 win98 winxp win7 win10" scripts/run-tests $(RUN_BUILD) -R "app_tests|max_tests"

demo: bootstrap
	$(MAKE) build-run
	scripts/demo $(RUN_BUILD)

bench: bootstrap
	$(MAKE) build-run
	scripts/bench $(RUN_BUILD)

# Only the test program that holds the loader's fuzz test is built.
fuzz: bootstrap
	$(MAKE) $(RUN_BUILD)/CMakeCache.txt
	cmake --build $(RUN_BUILD) --target setup_tests -j2
	scripts/fuzz $(RUN_BUILD) $(FUZZ_RUNS) "$(FUZZ_SEED)" $(FUZZ_FIRST)

clean:
	rm -rf $(BUILD)
