# The front door: `make run` and `make test` install what is missing, build and go.
# Other targets: build, dist, package, bench, fuzz, clean, format.

SHELL := /bin/bash
PRESETS := native fuzz windows-x64 windows-x86
# What `make run` needs: the x64 cross compiler, CMake, Ninja and Wine; without a display also a
# private X server and what tools/run-headless.sh uses to wait for the window and take its picture.
RUN_PACKAGES := cmake ninja-build g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64 fonts-wine
HEADLESS_PACKAGES := xvfb xdotool imagemagick
# The rest, for `make test`: native and fuzz builds, the x86 build and its checks, the packages.
TEST_PACKAGES := $(RUN_PACKAGES) $(HEADLESS_PACKAGES) g++ clang libclang-rt-dev clang-format \
    googletest python3 file g++-mingw-w64-i686 binutils-mingw-w64-i686 xauth x11-utils icoutils \
    wixl msitools osslsigncode openssl
RUN_PREFIX := $(CURDIR)/build/wineprefix

.PHONY: deps run-deps build test run dist package bench clean format fuzz

# Installs those of the packages given that are missing: $(call install,PACKAGES)
define install
	@missing=$$(for p in $(1); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing:" $$missing; \
	    SUDO=$$( [ "$$(id -u)" = 0 ] || echo sudo ); \
	    $$SUDO apt-get update -q && \
	    DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -q --no-install-recommends $$missing; \
	fi
endef

# The two programs with their data files in build/PRESET/dist: $(call dist_of,PRESET)
define dist_of
	@d=build/$(1)/dist; rm -rf $$d; mkdir -p $$d; \
	cp build/$(1)/src/tessaro.exe build/$(1)/src/tessaro.com resources/pellumo.dll \
	    resources/pellumo2.dll resources/gpl.txt $$d/; \
	echo "$$d: $$(ls $$d | tr '\n' ' ')"
endef

deps:
	$(call install,$(TEST_PACKAGES))

run-deps:
	$(call install,$(RUN_PACKAGES) $(if $(DISPLAY),,$(HEADLESS_PACKAGES)))

build: deps
	@for p in $(PRESETS); do \
	    cmake --preset $$p >/dev/null && cmake --build --preset $$p || exit 1; done

test: package
	python3 tools/make_resources.py --check
	tools/check-format.sh
	tools/check-pe.sh build/windows-x64/src/tessaro.{exe,com} build/windows-x86/src/tessaro.{exe,com}
	ctest --preset native
	FUZZ_SECONDS=10 ctest --preset fuzz
	ctest --preset windows-x64
	tests/package/test-msi.sh
	tests/package/test-signing.sh

# The fuzzers for longer than the short runs in `make test` (FUZZ_SECONDS each, default 300).
fuzz: build
	FUZZ_SECONDS=$${FUZZ_SECONDS:-300} ctest --preset fuzz --timeout 0

dist: build
	$(call dist_of,windows-x64)
	$(call dist_of,windows-x86)

# Release zips and MSIs in build/package/ (tools/package.py), signed when TESSARO_SIGN_PFX and
# TESSARO_SIGN_PASSWORD are set (and time-stamped by TESSARO_SIGN_TIMESTAMP if set).
package: dist
	python3 tools/package.py
	@ls -l build/package

# Sizes, imports, start-up time, peak memory and the effect loop's rate, in one run.
bench: build
	cmake --build --preset windows-x64 --target bench_startup bench_bare_window \
	    bench_minimal_dialog bench_status_reader
	tools/bench.sh

# Starts the program under Wine. Without a display it runs in Xvfb and leaves a screenshot.
# Only the x64 programs and their data files: no tests, so no GoogleTest either.
run: run-deps
	cmake --preset windows-x64 -DTESSARO_TESTS=OFF >/dev/null
	cmake --build --preset windows-x64 --target tessaro tessaro_console
	$(call dist_of,windows-x64)
	@mkdir -p $(RUN_PREFIX)
	@if [ -n "$$DISPLAY" ]; then \
	    WINEPREFIX=$(RUN_PREFIX) WINEDEBUG=-all wine build/windows-x64/dist/tessaro.exe; \
	else \
	    tools/run-headless.sh $(RUN_PREFIX) build/windows-x64/dist/tessaro.exe build/screenshot.png; \
	fi

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
