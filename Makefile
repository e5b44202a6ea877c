# Set-up, build and tests of VERTO. `make run` and `make test` are all a
# fresh Debian machine needs.
BUILD      ?= build
BUILD_SAN  ?= build-san
BUILD_FUZZ ?= build-fuzz
BUILD_TSAN ?= build-tsan
PREFIX     ?= /usr/local
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: deps configure build run test bench test-sanitize test-tsan install package fuzz clean

deps:
	@./scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_ARGS)

configure: $(BUILD)/build.ninja

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

# The examples folder holds a VERTO.INI with its defaults and a few macros.
run: build
	cd examples && VERTO=$(CURDIR)/examples/ ../$(BUILD)/verto $(ARGS) gauss_peak.dat

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

BENCH_ROUNDS ?= 15
# BENCH_AGAINST=path/to/an/earlier/verto runs every job on both in turn.
BENCH_AGAINST ?=

# Whole-process timings of the 50000-point jobs first (the regression
# guard), then the micro-benchmarks of the kernels.
bench: build
	$(BUILD)/bench/verto_timings $(BUILD)/verto $(BENCH_ROUNDS) $(BENCH_AGAINST)
	$(BUILD)/bench/verto_bench --benchmark_format=console

test-sanitize: deps
	cmake -S . -B $(BUILD_SAN) -G Ninja -DVERTO_SANITIZE=ON -DVERTO_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(BUILD_SAN) -j $(JOBS)
	cd $(BUILD_SAN) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

test-tsan: deps
	cmake -S . -B $(BUILD_TSAN) -G Ninja -DVERTO_TSAN=ON -DVERTO_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_TSAN) -j $(JOBS) --target verto_thread_tests
	cd $(BUILD_TSAN) && TSAN_OPTIONS="halt_on_error=1 ignore_noninstrumented_modules=1 second_deadlock_stack=1 suppressions=$(CURDIR)/scripts/tsan.supp" \
	  QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Installs verto, its window front-end library, the desktop entry, the icon
# and the manual page.
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package $(BUILD)/verto_<version>_<arch>.deb of the same files
# (under /usr); `apt-get install ./$(BUILD)/verto_*.deb` installs it.
package: build
	cmake --build $(BUILD) --target package

fuzz: deps
	CXX=clang++ cmake -S . -B $(BUILD_FUZZ) -G Ninja -DVERTO_FUZZ=ON -DVERTO_TESTS=OFF -DVERTO_BENCH=OFF -DVERTO_QT=OFF
	cmake --build $(BUILD_FUZZ) -j $(JOBS)
	./scripts/run-fuzzers.sh $(BUILD_FUZZ) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_FUZZ) $(BUILD_TSAN)
