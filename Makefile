# The front door: `make run` and `make test` install what is missing, build and go.
# Other targets: build, dist, package, bench, fuzz, clean, format.

SHELL := /bin/bash
PRESETS := native fuzz windows-x64 windows-x86
DEBIAN_PACKAGES := cmake ninja-build g++ clang libclang-rt-14-dev clang-format googletest python3 file \
    g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 \
    wine wine64 fonts-wine xvfb xauth x11-utils xdotool imagemagick icoutils \
    wixl msitools osslsigncode openssl
RUN_PREFIX := $(CURDIR)/build/wineprefix

.PHONY: deps build test run dist package bench clean format fuzz

deps:
	@missing=$$(for p in $(DEBIAN_PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing: $$missing"; \
	    SUDO=$$( [ "$$(id -u)" = 0 ] || echo sudo ); \
	    $$SUDO apt-get update -q && \
	    DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -q --no-install-recommends $$missing; \
	fi

build: deps
	@for p in $(PRESETS); do \
	    cmake --preset $$p >/dev/null && cmake --build --preset $$p || exit 1; done

test: package
	python3 tools/make_resources.py --check
	tools/check-format.sh
	tools/check-pe.sh build/windows-x64/src/tessaro.exe build/windows-x86/src/tessaro.exe
	ctest --preset native
	FUZZ_SECONDS=10 ctest --preset fuzz
	ctest --preset windows-x64
	tests/package/test-msi.sh
	tests/package/test-signing.sh

# The fuzzers for longer than the short runs in `make test` (FUZZ_SECONDS each, default 300).
fuzz: build
	FUZZ_SECONDS=$${FUZZ_SECONDS:-300} ctest --preset fuzz --timeout 0

dist: build
	@for p in windows-x64 windows-x86; do \
	    d=build/$$p/dist; rm -rf $$d; mkdir -p $$d; \
	    cp build/$$p/src/tessaro.exe resources/pellumo.dll resources/pellumo2.dll resources/gpl.txt $$d/; \
	    echo "$$d: $$(ls $$d | tr '\n' ' ')"; done

# Release zips and MSIs in build/package/ (tools/package.py), signed when TESSARO_SIGN_PFX and
# TESSARO_SIGN_PASSWORD are set (and time-stamped by TESSARO_SIGN_TIMESTAMP if set).
package: dist
	python3 tools/package.py
	@ls -l build/package

# Sizes, imports, start-up time, peak memory and the effect loop's rate, in one run.
bench: build
	tools/bench.sh

# Starts the program under Wine. Without a display it runs in Xvfb and leaves a screenshot.
run: dist
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
