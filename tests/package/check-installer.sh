#!/usr/bin/env bash
# Looks inside an installer: it must carry exactly the program, its data files, the readme and
# an uninstaller, and the program inside must be byte for byte the one that was built.
# (NSIS installers are 32-bit programs, which Wine here cannot run; a machine with wine32 can
# run `wine SETUP.exe /S` for the real thing.)
#   check-installer.sh SETUP.exe DIST-FOLDER
set -euo pipefail
setup=$1 dist=$2
listing=$(7z l -ba "$setup" | awk '{print $NF}' | sort | tr '\n' ' ')
expected="README.txt gpl.txt pellumo.dll pellumo2.dll tessaro.exe uninstall.exe "
if [ "$listing" != "$expected" ]; then
    echo "FAIL $setup holds: $listing"
    exit 1
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
7z x -y -o"$scratch" "$setup" tessaro.exe >/dev/null
cmp "$scratch/tessaro.exe" "$dist/tessaro.exe"
echo "$setup: $listing"
