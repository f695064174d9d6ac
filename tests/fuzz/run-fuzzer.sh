#!/usr/bin/env bash
# Runs one fuzzer for a bounded time (FUZZ_SECONDS, default 10) from its seed corpus.
set -euo pipefail
fuzzer=$1 seeds=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$fuzzer" "$scratch" "$seeds" -max_total_time="${FUZZ_SECONDS:-10}" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 2>&1 | tail -n 60
