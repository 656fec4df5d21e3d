# make run   installs what is missing, builds, starts the virtual card and opens Brovane on COM1.
# make test  installs what is missing, builds and runs every test: the normal build (with the
#            Debian package check and brovane-cli in a virtual machine on the kernel's serial
#            drivers), the parts without Qt built for Windows and tested under Wine,
#            the build under AddressSanitizer/UndefinedBehaviorSanitizer, the fuzz targets and the
#            format check.
# make package  builds brovane_<version>_amd64.deb in the build folder.
# Each installs only the Debian packages its task needs (scripts/setup.sh build, run, test). A
# fresh Debian 12 has no make: ./setup installs it first.

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
WINDOWS_BUILD ?= build-windows
FUZZ_SECONDS ?= 45
JOBS       ?= $(shell nproc)
CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: run test setup setup-build setup-run build check windows-core package asan fuzz \
	format-check screenshots

run: setup-build setup-run build
	scripts/run.sh $(BUILD)

test: setup format-check build check windows-core asan fuzz

# Everything: the build, the programs and the tests.
setup:
	@scripts/setup.sh build run test

setup-build:
	@scripts/setup.sh build

setup-run:
	@scripts/setup.sh run

build:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

check: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The parts without Qt (model/, the card protocol in link/, the language table in app/) built for
# Windows with MinGW-w64, their tests run under Wine in a prefix of this build folder.
windows-core:
	cmake -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
		-DBROVANE_CORE_ONLY=ON
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	BROVANE_WINEPREFIX=$(CURDIR)/$(WINDOWS_BUILD)/wineprefix scripts/wine-run.sh wineboot --init
	ctest --test-dir $(WINDOWS_BUILD) --output-on-failure -j $(JOBS)

package: setup-build build
	cmake --build $(BUILD) --target package
	@ls -l $(BUILD)/brovane_*_amd64.deb

asan:
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_FLAGS) -DBROVANE_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

fuzz:
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_FLAGS) -DBROVANE_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	scripts/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

format-check:
	scripts/format-check.sh

screenshots: setup-build setup-run build
	scripts/screenshots.sh $(BUILD)
