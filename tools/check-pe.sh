#!/usr/bin/env bash
# Checks the hardening of the Windows executables: ASLR (and high-entropy ASLR on x64), DEP,
# stack protection, no section both writable and executable, and imports of system DLLs only.
#   check-pe.sh EXE [EXE...]
set -uo pipefail
objdump_for() {
    case "$(file -b "$1")" in
        *x86-64*) echo x86_64-w64-mingw32-objdump ;;
        *) echo i686-w64-mingw32-objdump ;;
    esac
}
# Only DLLs on the system's KnownDLLs list, which Windows always takes from its own folder; any
# other is loaded at run time from the system folder, never imported.
allowed='^(ADVAPI32|COMDLG32|GDI32|KERNEL32|msvcrt|OLE32|OLEAUT32|SHELL32|SHLWAPI|USER32)\.dll$'
status=0
for exe in "$@"; do
    od=$(objdump_for "$exe")
    headers=$("$od" -p "$exe")
    fail() { echo "FAIL $exe: $*"; status=1; }
    for flag in DYNAMIC_BASE NX_COMPAT; do
        grep -q "$flag" <<<"$headers" || fail "missing $flag"
    done
    if [ "$od" = x86_64-w64-mingw32-objdump ]; then
        grep -q HIGH_ENTROPY_VA <<<"$headers" || fail "missing HIGH_ENTROPY_VA"
    fi
    grep -q 'Time/Date.*Thu Jan  1 00:00:00 1970' <<<"$headers" || fail "time stamp in the header"
    # A section that is code and not read-only is writable and executable.
    wx=$("$od" -h "$exe" | awk '/^ +[0-9]+ /{name=$2; getline; if ($0 ~ /CODE/ && $0 !~ /READONLY/) print name}')
    [ -z "$wx" ] || fail "writable and executable sections: $wx"
    # Read to the end (no -q): an early exit would break the pipe and count as a failure.
    strings -a "$exe" | grep 'stack smashing detected' >/dev/null || fail "no stack protection"
    imports=$(grep 'DLL Name:' <<<"$headers" | awk '{print $3}')
    for dll in $imports; do
        grep -qiE "$allowed" <<<"$dll" || fail "imports $dll, which is not a system DLL"
    done
    echo "$exe: $(stat -c %s "$exe") bytes; imports: $(echo $imports)"
done
exit $status
