#!/usr/bin/env bash
# Run by the build: a project header is named by its layer's path in angle brackets
# (<win32/form.h>), so the including file's own folder is never searched and a layer's headers
# are found only through the include folders its target links. A quoted include, or any ".." in
# an include, could reach a header the layers do not allow, so either fails the build.
#   check-includes.sh STAMP FILE...
set -euo pipefail
stamp=$1
shift
bad=$(grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*("|<[^>]*\.\.)' "$@" || true)
if [ -n "$bad" ]; then
    echo "$bad" | sed 's/$/  <- name project headers by their layer path: #include <layer\/file.h>/' >&2
    exit 1
fi
touch "$stamp"
