# make run   installs what is missing, builds, starts the virtual card and opens Brovane on COM1.
# make test  installs what is missing, builds and runs every test: the normal build, the build
#            under AddressSanitizer/UndefinedBehaviorSanitizer, the fuzz targets and the format check.

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)
CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: run test setup build check asan fuzz format-check screenshots

run: setup build
	scripts/run.sh $(BUILD)

test: setup format-check build check asan fuzz

setup:
	@scripts/setup.sh

build:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

check: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

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

screenshots: setup build
	scripts/screenshots.sh $(BUILD)
