# make run   installs what is missing, builds, starts the virtual card and opens Brovane on COM1.
# make test  installs what is missing, builds and runs every test: the normal build (with the
#            Debian package check and brovane-cli in a virtual machine on the kernel's serial
#            drivers), the parts without Qt built for Windows and tested under Wine, the Windows
#            program (its ZIP and installer) built and tested under Wine, the build under
#            AddressSanitizer/UndefinedBehaviorSanitizer, the fuzz targets and the format check.
# make package  builds brovane_<version>_amd64.deb in the build folder.
# make bench-ping  measures how long the windows leave the window manager's ping unanswered.
# Each installs only the Debian packages its task needs (scripts/setup.sh build, run, test). A
# fresh Debian 12 has no make: ./setup installs it first.

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
WINDOWS_BUILD ?= build-windows
# The folder of the preset linux-windows (CMakePresets.json).
WINDOWS_PROGRAM_BUILD = build-windows-program
# The Qt for MinGW-w64 the Windows program is built with: a packed one (prefix/ inside), by
# default the one in the shared folder beside the clone, unpacked once into QT_MINGW_CACHE; where
# there is none, Qt is built from Debian's source into QT_MINGW_CACHE once (about 40 minutes).
QT_MINGW_ARCHIVE ?= ../shared/toolkits/qt-6.4.2-mingw-w64.tar.xz
QT_MINGW_CACHE ?= $(HOME)/.cache/brovane
FUZZ_SECONDS ?= 20
JOBS       ?= $(shell nproc)
CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: run test setup setup-build setup-run build check windows-core windows-program \
	package asan fuzz bench-ping \
	format-check screenshots

run: setup-build setup-run build
	scripts/run.sh $(BUILD)

test: setup format-check build check windows-core windows-program asan fuzz

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
	BROVANE_WINEPREFIX=$(CURDIR)/$(WINDOWS_BUILD)/wineprefix scripts/wine-test.sh wineboot --init
	ctest --test-dir $(WINDOWS_BUILD) --output-on-failure -j $(JOBS)

# brovane.exe and brovane-cli.exe built with the Qt for MinGW-w64; the program folder as it ships,
# its ZIP and its NSIS installer; tested under Wine against the virtual card of the Linux build
# (tests/windows).
windows-program: build
	qt=$$(scripts/windows-qt.sh "$(QT_MINGW_ARCHIVE)" "$(QT_MINGW_CACHE)") && \
	QT_MINGW="$$qt" cmake --preset linux-windows -DBROVANE_LINUX_BIN=$(CURDIR)/$(BUILD)/bin
	cmake --build --preset linux-windows -j $(JOBS)
	rm -rf $(WINDOWS_PROGRAM_BUILD)/program
	cmake --install $(WINDOWS_PROGRAM_BUILD) --prefix $(WINDOWS_PROGRAM_BUILD)/program --strip
	cpack --preset linux-windows
	ctest --preset linux-windows

package: setup-build build
	cmake --build $(BUILD) --target package
	@ls -l $(BUILD)/brovane_*_amd64.deb

# -O1 and line tables only, as the sanitizers' reports need, keep the sanitizer build short.
asan:
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_FLAGS) -DBROVANE_SANITIZE=ON \
		-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

fuzz:
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_FLAGS) -DBROVANE_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	scripts/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# How long the windows leave the window manager's liveness ping unanswered during transfers
# (bench/ping-bench.sh): the real program on a private X display, each figure under 100 ms.
bench-ping: setup build
	bench/ping-bench.sh $(BUILD)/bin

format-check:
	scripts/format-check.sh

screenshots: setup-build setup-run build
	scripts/screenshots.sh $(BUILD)
