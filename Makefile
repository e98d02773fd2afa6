# make run        installs what playing needs, builds the program and starts it
# make test       installs what the tests need too, builds everything, runs every test
#                 (after a short run of each fuzz target, and with the thread pass)
# make test-long  the long runs, and each fuzz target for FUZZ_SECONDS (300)
# make fuzz       builds the fuzz targets and runs each for FUZZ_SECONDS (20)
# make package    builds the Debian packages from the source package into build/package/
# make program    builds the program and its data without starting it
# make uninstall  removes what the last cmake --install from build/ wrote
# make web        builds the browser version into build/web/
# make web-serve  builds it and serves it on this computer (the address is printed)
BUILD := build
ASAN := build/asan
TSAN := build/tsan
FUZZ := build/fuzz
FUZZ_SECONDS ?= 20
CLANG_FLAGS := -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14
CMAKE_FLAGS := -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
WEB_PORT ?= 8019
JOBS ?= $(shell nproc)

.PHONY: all deps deps-test deps-package program build run test test-long test-package \
	package uninstall format clean deps-web web web-serve fuzz

all: build

deps:
	@tools/install-deps.sh run

# The test tools from the npm registry (browser drivers, the page's audit), exactly as
# tests/package-lock.json gives them, into tests/node_modules; again when the lock changes.
deps-test:
	@tools/install-deps.sh run test web
	@command -v npm >/dev/null 2>&1 || tools/install-deps.sh npm
	@[ tests/node_modules/.package-lock.json -nt tests/package-lock.json ] || \
		(cd tests && npm ci --no-audit --no-fund)

deps-web:
	@tools/install-deps.sh web

deps-package:
	@tools/install-deps.sh run package

# The program and its data only. A new build folder is made without the tests, so that
# no test tool is needed; one made by make test keeps them and builds just the program.
program: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DFENWATER_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS) --target fenwater_program

# Everything: the program, the tests, the benchmarks and the development tools.
build: deps-test
	@[ -f $(BUILD)/build.ninja ] && grep -q '^FENWATER_TESTS:BOOL=ON' $(BUILD)/CMakeCache.txt || \
		cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DFENWATER_TESTS=ON
	cmake --build $(BUILD) -j $(JOBS)

run: program
	cd $(BUILD)/stage && ./fenwater

test: fuzz build deps-package
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) -LE long
	@[ -f $(ASAN)/build.ninja ] || cmake -S . -B $(ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
		-DFENWATER_CORE_ONLY=ON -DFENWATER_SANITIZE=ON
	cmake --build $(ASAN) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS) -LE long
	@# The thread pass: the settings store and the sound layer, whose threads (the wait for
	@# the file lock, the device's idle close) meet the caller's. The random parser test
	@# runs no thread and is left to the passes above; one test at a time, as the sound
	@# tests time what is heard and the sanitizer slows every thread down. Without address
	@# randomisation: clang 14's TSan runtime cannot map its shadow memory on kernels that
	@# randomise more address bits than it knows.
	@[ -f $(TSAN)/build.ninja ] || cmake -S . -B $(TSAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
		$(CLANG_FLAGS) -DFENWATER_TSAN=ON
	cmake --build $(TSAN) -j $(JOBS)
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
		setarch $$(uname -m) -R ctest --test-dir $(TSAN) --output-on-failure -LE long \
		-E '^StressParser'

# The fuzz targets, built with clang's libFuzzer, each run for FUZZ_SECONDS over its corpus.
fuzz: deps-test
	@[ -f $(FUZZ)/build.ninja ] || cmake -S fuzz -B $(FUZZ) -G Ninja $(CLANG_FLAGS)
	cmake --build $(FUZZ) -j $(JOBS)
	fuzz/run.sh $(FUZZ) $(FUZZ_SECONDS)

# The long runs: soak, randomized and fuzz-style tests, benchmarks are separate.
test-long: FUZZ_SECONDS = 300
test-long: fuzz build
	ctest --test-dir $(BUILD) --output-on-failure -L long

# The browser version: the page, its code and its data, ready for any static web host.
web: deps-web
	JOBS=$(JOBS) tools/build-web.sh $(BUILD)

web-serve: web
	@echo "Serving $(BUILD)/web at http://127.0.0.1:$(WEB_PORT)/ (Ctrl+C ends)"
	python3 -m http.server --bind 127.0.0.1 --directory $(BUILD)/web $(WEB_PORT)

# The Debian packages, built from the source package and checked with lintian, installed,
# tested with autopkgtest, purged and built a second time for the same bytes (as root).
test-package: build deps-package
	FENWATER_INSTALL_PACKAGE=1 ctest --test-dir $(BUILD) --output-on-failure -L package

# The source package and the .deb files, built as Debian builds them (with the tests that
# need no display; DEB_BUILD_OPTIONS=nocheck leaves them out), into build/package/.
package: deps-package
	JOBS=$(JOBS) tools/build-package.sh . $(BUILD)/package

# Needs no build and installs nothing: sudo make uninstall after sudo cmake --install.
uninstall:
	cmake -D BUILD=$(BUILD) -P cmake/uninstall.cmake

format:
	git ls-files '*.c' '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
