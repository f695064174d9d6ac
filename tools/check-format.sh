#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
bad=0
while IFS= read -r f; do
    if ! diff -q <(clang-format "$f") "$f" >/dev/null; then
        echo "not formatted: $f (run: make format)"
        bad=1
    fi
done < <(git ls-files '*.cpp' '*.h'; git ls-files --others --exclude-standard '*.cpp' '*.h')
exit $bad
