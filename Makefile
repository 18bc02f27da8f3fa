# make run   installs what is missing, builds, and starts the program
# make test  the same, then runs the whole test suite
# make bench builds and runs the benchmarks
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)

.PHONY: all deps build run test bench clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

# The engine tests run twice: in the normal build and under AddressSanitizer
# and UndefinedBehaviorSanitizer (an engine-only build without Qt).
sanitize-build: deps
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORVELLIN_ENGINE_ONLY=ON -DCORVELLIN_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS) --target engine_tests

run: build
	@bash scripts/run.sh $(BUILD)

test: build sanitize-build
	ctest --test-dir $(SANITIZE_BUILD) -L engine --output-on-failure -j $(JOBS)
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

bench: build
	@bash bench/run.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
