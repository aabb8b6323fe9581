# Entry points for a fresh Debian 12 machine (run as root): `make run` and `make test`.
JOBS ?= $(shell nproc)
BUILD ?= build
TEST_BUILD ?= build-test

.PHONY: deps build run test bench try clean

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVIK_BUILD_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS)

run: build
	scripts/run.sh $(BUILD)/app/tarvik-configurator

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, warnings as errors.
test: deps
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTARVIK_SANITIZE=ON -DTARVIK_WERROR=ON
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	scripts/bench.sh $(BUILD)

try: build
	scripts/try.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(TEST_BUILD)
