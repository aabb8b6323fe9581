# For those who have make: the same commands as ./configurator, which needs nothing but bash and
# apt and is what the README names (a fresh Debian has no make).
.PHONY: run test try bench fuzz deps clean

run test try bench fuzz:
	./configurator $@

deps:
	scripts/install-deps.sh

clean:
	rm -rf build build-test build-fuzz
