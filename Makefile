# make run   installs what is missing, builds and starts the game
# make test  installs what is missing, builds and runs every test
BUILD := build
ASAN := build/asan
CMAKE_FLAGS := -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
JOBS ?= $(shell nproc)

.PHONY: all deps deps-test build run test test-long format clean

all: build

deps:
	@tools/install-deps.sh run

deps-test:
	@tools/install-deps.sh run test

build: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD)/stage && ./fenwater

test: deps-test build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) -LE long
	@[ -f $(ASAN)/build.ninja ] || cmake -S . -B $(ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
		-DFENWATER_CORE_ONLY=ON -DFENWATER_SANITIZE=ON
	cmake --build $(ASAN) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS) -LE long

# The long runs: soak, randomized and fuzz-style tests, benchmarks are separate.
test-long: deps-test build
	ctest --test-dir $(BUILD) --output-on-failure -L long

format:
	git ls-files '*.c' '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
