# make run   installs what is missing, builds, and starts the program
# make test  the same, then runs the whole test suite
# make bench builds and runs the benchmarks
# make package builds the Debian package (build/corvellin-photo_*.deb)
# make fuzz  builds the fuzz targets with clang and runs each for FUZZ_SECONDS
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 600
FUZZ_JOBS ?= 2

.PHONY: all deps build run test bench fuzz clean package

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

# The whole suite runs twice: in the normal build and in a build of everything
# under AddressSanitizer, LeakSanitizer and UBSan. There every test, and every
# program a test starts, runs through tests/sanitizer/sanitized-run.sh; ctest
# runs through it too, for the programs of tests that are scripts.
sanitize-build: deps
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORVELLIN_ENGINE_ONLY=OFF -DCORVELLIN_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)

test: build sanitize-build
	bash tests/sanitizer/sanitized-run.sh ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The Debian package corvellin-photo_<version>_<arch>.deb in $(BUILD), made by
# CPack from the installed tree.
package: build
	cd $(BUILD) && cpack -G DEB

# Builds only what the report runs (the report, corvellin-fx and the mask art), then runs it.
bench: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS) --target corvellin-bench-report
	@bash bench/run.sh $(BUILD)

# libFuzzer with AddressSanitizer and UBSan: every reader of outside input runs
# for FUZZ_SECONDS, FUZZ_JOBS at a time; failing inputs land in
# tests/fuzz/regressions/<target>/, which `make test` replays.
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCORVELLIN_FUZZ=ON -DCORVELLIN_ENGINE_ONLY=ON -DCORVELLIN_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_all
	bash tests/fuzz/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_JOBS)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD)
