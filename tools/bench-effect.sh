#!/usr/bin/env bash
# How fast the desktop effect's loop runs against a bare loop of the same BitBlt and message
# dispatch, both in one run under Wine in a fresh Xvfb. The effect should not lose more than 10 %.
#
#   tools/bench-effect.sh [SECONDS_PER_ROUND [ROUNDS]]     (default: 1 second, 10 rounds)
#
# Prints passes per second of each and the ratio effect / bare, per round and as medians, by
# the clock and per second of processor time of the looping thread (steadier on a busy machine).
# A benchmark, not a test: the figures depend on the machine and on what else it is doing.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset windows-x64 >/dev/null
cmake --build --preset windows-x64 --target tessaro_bench_effect >/dev/null
bench=build/windows-x64/src/tessaro_bench_effect.exe

# Never the user's own display: input and windows of the run stay in their own Xvfb.
env -u DISPLAY tests/support/wine-run.sh "$bench" "${1:-1}" "${2:-10}" 2>/dev/null
