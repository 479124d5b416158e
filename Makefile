# Sandrel: the two commands of the quick start, and a few for developers.
#   make run   - installs what is missing, builds, and opens the launcher on build/demo/
#   make test  - installs what is missing, builds and runs every test (also under ASan/UBSan)
JOBS ?= $(shell nproc)
CMAKE ?= cmake

.PHONY: all deps build run demo test test-ci test-asan test-fuzz bench clean

all: build

deps:
	@scripts/install-deps.sh test

build:
	@scripts/install-deps.sh run
	$(CMAKE) --preset ci >/dev/null
	$(CMAKE) --build --preset ci -j $(JOBS)

demo: build
	scripts/make-demo.sh build/demo

run: demo
	scripts/run-launcher.sh build/demo

test: deps test-ci test-asan test-fuzz

test-ci:
	$(CMAKE) --preset ci >/dev/null
	$(CMAKE) --build --preset ci -j $(JOBS)
	ctest --preset ci -j $(JOBS)

test-asan:
	$(CMAKE) --preset asan >/dev/null
	$(CMAKE) --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

test-fuzz:
	$(CMAKE) --preset fuzz >/dev/null
	$(CMAKE) --build --preset fuzz -j $(JOBS)
	scripts/run-fuzzers.sh build/fuzz

bench: build
	scripts/run-benchmarks.sh

clean:
	rm -rf build
