# Sandrel: the two commands of the quick start, and a few for developers.
#   make run   - installs what is missing, builds what it runs, and opens the launcher on build/demo/
#   make test  - installs what is missing, builds and runs every test (also under ASan/UBSan,
#                and the Windows build under Wine), builds the packages and tests them, then
#                builds and runs every test again in a Debian 13 root
#   make deb   - build/packages/sandrel_<version>_amd64.deb (no Windows tools needed)
#   make zip   - build/packages/Sandrel-<version>-win64.zip (cross-built with MinGW-w64)
#   make package - both
JOBS ?= $(shell nproc)
CMAKE ?= cmake

.PHONY: all deps build run demo test test-ci test-asan test-fuzz test-win win package test-package bench clean

all: build

deps:
	@scripts/install-deps.sh test win package

build:
	@scripts/install-deps.sh run
	$(CMAKE) --preset ci >/dev/null
	$(CMAKE) --build --preset ci -j $(JOBS)

# What `make run` starts, and nothing else: the program, the stand-in engine, the sample-data
# tool and the help file (the tests and benchmarks are for `make build` and `make test`).
RUN_TARGETS = sandrel quellmark_standin make_sample_data sandrel_help

demo:
	@scripts/install-deps.sh run
	$(CMAKE) --preset ci >/dev/null
	$(CMAKE) --build --preset ci -j $(JOBS) --target $(RUN_TARGETS)
	scripts/make-demo.sh build/demo

run: demo
	scripts/run-launcher.sh build/demo

# The packages are made before the Windows stage, which also runs the unpacked zip.
test: deps test-ci test-asan test-fuzz package test-win test-package test-debian13

test-ci:
	@scripts/install-deps.sh ctest
	$(CMAKE) --preset ci >/dev/null
	$(CMAKE) --build --preset ci -j $(JOBS)
	ctest --preset ci -j $(JOBS)

test-asan:
	@scripts/install-deps.sh ctest
	$(CMAKE) --preset asan >/dev/null
	$(CMAKE) --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

test-fuzz:
	@scripts/install-deps.sh fuzz
	$(CMAKE) --preset fuzz >/dev/null
	$(CMAKE) --build --preset fuzz -j $(JOBS) --target fuzzers
	scripts/run-fuzzers.sh build/fuzz

# The Windows program, cross-built: build/win64/Sandrel.exe and the stand-in Quellmark.exe.
win:
	@scripts/install-deps.sh win
	$(CMAKE) --preset win64 >/dev/null
	$(CMAKE) --build --preset win64 -j $(JOBS)

# Wine runs the Windows tests; the Linux launcher with the Windows engine needs the CTest tests'
# accessibility bus as well.
test-win:
	@scripts/install-deps.sh win ctest
	JOBS=$(JOBS) scripts/test-win.sh

# cpack installs each build into a staging folder and packs it: the .deb with the version of
# project() and dependencies from dpkg-shlibdeps, the zip with Sandrel.exe, Sandrel.chm and
# README.txt. Each builds only what goes into it (sandrel_package_files); the dates inside are
# the last commit's, so a package made twice is the same bytes.
.PHONY: deb zip
package: deb zip

deb:
	@scripts/install-deps.sh package
	$(CMAKE) --preset ci >/dev/null
	$(CMAKE) --build --preset ci -j $(JOBS) --target sandrel_package_files
	cd build/ci && cpack -G DEB

# The zip's help file comes from the Linux build, which compiles it.
zip:
	@scripts/install-deps.sh cross
	$(CMAKE) --preset ci >/dev/null
	$(CMAKE) --build --preset ci -j $(JOBS) --target sandrel_help
	$(CMAKE) --preset win64 >/dev/null
	$(CMAKE) --build --preset win64 -j $(JOBS) --target sandrel_package_files
	cd build/win64-build && cpack -G ZIP

test-package:
	@scripts/install-deps.sh packagetest
	scripts/test-package.sh

# The release build and every CTest test again in a Debian 13 root (debootstrap, kept in
# /var/cache/sandrel/debian13 between runs).
.PHONY: test-debian13
test-debian13:
	@scripts/install-deps.sh debian13
	JOBS=$(JOBS) scripts/test-debian13.sh

bench: build
	scripts/run-benchmarks.sh

clean:
	rm -rf build
