# Fonaris: the two commands a newcomer needs are `make demo` and `make test`.
# Every target installs what is missing on a Debian machine first.

SHELL := /bin/bash
JOBS ?= 2
BUILD := build
NATIVE := $(BUILD)/native
WINDOWS := $(BUILD)/windows
FUZZ := $(BUILD)/fuzz
FUZZ_SECONDS ?= 30
PACKAGE := $(BUILD)/package
# The one version number; the exe's version resource takes it from the same file.
VERSION := $(shell cat VERSION)

# Debian packages the build, the tests and the demo need.
PACKAGES := cmake make g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev googletest libbenchmark-dev \
            g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 xvfb x11-utils imagemagick xdotool procps \
            wixl msitools

.PHONY: all deps native test test-native windows package test-wine fuzz bench demo clean

all: native windows

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  SUDO=; [ "$$(id -u)" -ne 0 ] && SUDO=sudo; \
	  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing; \
	fi

native: deps
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build $(NATIVE) -j $(JOBS)

test-native: native
	cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)

# The cross build needs the host's resource generator from the native tree.
windows: deps
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build $(NATIVE) -j $(JOBS) --target resgen tsg-sim
	cmake -S . -B $(WINDOWS) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
	  -DFONARIS_RESGEN=$(abspath $(NATIVE))/tools/resgen/resgen >/dev/null
	cmake --build $(WINDOWS) -j $(JOBS)
	@ls -l $(WINDOWS)/fonaris.exe

# The Windows Installer package for administrators (see README).
package: windows
	installer/build-msi.sh $(WINDOWS)/fonaris.exe $(VERSION) $(PACKAGE)/Fonaris-$(VERSION).msi

test-wine: windows
	tests/e2e/run.sh

fuzz: deps
	cmake -S . -B $(FUZZ) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DFONARIS_FUZZ=ON \
	  -DFONARIS_SANITIZE=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(FUZZ) -j $(JOBS) --target fuzz_cti_event fuzz_cti_framing fuzz_crm_url fuzz_normalize_number fuzz_login_answer fuzz_profile_lists
	tests/fuzz/run.sh $(FUZZ) $(FUZZ_SECONDS)

# Figures only: a release build without sanitizers, then the Wine benchmarks.
bench: windows
	cmake -S . -B $(BUILD)/bench -DCMAKE_BUILD_TYPE=Release -DFONARIS_SANITIZE=OFF >/dev/null
	cmake --build $(BUILD)/bench -j $(JOBS) --target bench_calls bench_dialout bench_profiles
	bench/run.sh

test: test-native test-wine fuzz

demo: windows
	tests/e2e/demo.sh

clean:
	rm -rf $(BUILD)
