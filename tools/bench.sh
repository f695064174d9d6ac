#!/usr/bin/env bash
# Prints the figures that matter for a release, in one run: executable sizes and imports, the
# time from start to the main window under Wine against a minimal Win32 window program, the
# program's peak memory, and the effect loop's rate against a bare loop.
#   bench.sh   (after make build)
set -euo pipefail
cd "$(dirname "$0")/.."
run=tests/support/wine-run.sh
b=build/windows-x64
echo "== Executables"
tools/check-pe.sh $b/src/tessaro.exe build/windows-x86/src/tessaro.exe
echo
echo "== Start to main window under Wine (median of 7 runs, warm prefix)"
read -r t_tessaro mem_tessaro < <(env -u DISPLAY $run "$b/tools/startup-bench/bench_startup.exe" \
    "Z:$PWD/$b/src/tessaro.exe" Tessaro 7 | tr -d '\r')
read -r t_minimal mem_minimal < <(env -u DISPLAY $run "$b/tools/startup-bench/bench_startup.exe" \
    "Z:$PWD/$b/tools/startup-bench/bench_minimal_window.exe" Minimal 7 | tr -d '\r')
printf 'tessaro.exe        %8.1f ms   peak working set %6.0f KiB\n' "$t_tessaro" "$mem_tessaro"
printf 'minimal window     %8.1f ms   peak working set %6.0f KiB\n' "$t_minimal" "$mem_minimal"
awk -v a="$t_tessaro" -v b="$t_minimal" 'BEGIN { printf "start-up ratio     %8.2f\n", a / b }'
echo
if [ -x tools/bench-effect.sh ]; then
    echo "== Effect loop"
    tools/bench-effect.sh
fi
