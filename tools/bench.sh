#!/usr/bin/env bash
# Prints the figures that matter for a release, in one run: executable sizes and imports, the
# time from start to the painted main window under Wine and the peak memory, against a minimal
# dialog like the main window and a bare window, and the effect loop's rate against a bare loop.
#   bench.sh   (after make build)       STARTUP_ROUNDS: rounds of start-up timing (default 30)
set -euo pipefail
cd "$(dirname "$0")/.."
run=tests/support/wine-run.sh
b=build/windows-x64
echo "== Executables"
tools/check-pe.sh $b/src/tessaro.exe $b/src/tessaro.com build/windows-x86/src/tessaro.exe \
    build/windows-x86/src/tessaro.com
echo
rounds=${STARTUP_ROUNDS:-30}
sb=$b/tools/startup-bench
echo "== Start to painted main window under Wine, $rounds alternating rounds after a warm-up"
env -u DISPLAY $run "$sb/bench_startup.exe" "$rounds" \
    tessaro.exe "Z:$PWD/$b/src/tessaro.exe" Tessaro \
    "minimal dialog" "Z:$PWD/$sb/bench_minimal_dialog.exe" "Minimal dialog" \
    "bare window" "Z:$PWD/$sb/bench_bare_window.exe" "Bare window" | tr -d '\r'
echo "(ratios: medians of the per-round ratios; tessaro.exe / minimal dialog should be <= 1.05)"
echo
echo "== tessaro.exe /status from start to exit, $rounds alternating rounds after a warm-up"
env -u DISPLAY $run "$sb/bench_startup.exe" "$rounds" \
    "tessaro /status" "Z:$PWD/$b/src/tessaro.exe" @/status \
    "console reader" "Z:$PWD/$sb/bench_status_reader.exe" @ | tr -d '\r'
echo "(tessaro /status / console reader should be <= 1.2)"
echo
echo "== tessaro.com /audit (three values) beside tessaro.com /status (one), $rounds rounds"
env -u DISPLAY $run "$sb/bench_startup.exe" "$rounds" \
    "tessaro.com /audit" "Z:$PWD/$b/src/tessaro.com" @/audit \
    "tessaro.com /status" "Z:$PWD/$b/src/tessaro.com" @/status | tr -d '\r'
echo "(/audit / /status should be <= 1.2: both are mostly the start of a process)"
echo
echo "== tessaro.com /audit with Group Policy (the 15 KB baseline as local policy, three objects"
echo "   in the history) against none, $rounds rounds each"
env -u DISPLAY $run cmd /c "Z:$PWD/tools/bench-policy.cmd" "Z:$PWD/$sb/bench_startup.exe" "$rounds" \
    "Z:$PWD/$b/src/tessaro.com" "Z:$(cd ../shared/fixtures/registry-pol && pwd)" | tr -d '\r' |
    tee /tmp/tessaro-bench-policy.txt | grep -E '^(no-policy|policy) '
awk '$1 == "no-policy" { a = $2 } $1 == "policy" { b = $2 }
     END { if (a) printf "with / without: %.2f (should be <= 1.2)\n", b / a }' /tmp/tessaro-bench-policy.txt
echo
if [ -x tools/bench-effect.sh ]; then
    echo "== Effect loop"
    tools/bench-effect.sh
fi
