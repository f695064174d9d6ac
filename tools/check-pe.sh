#!/usr/bin/env bash
# Checks the hardening of the Windows executables: ASLR (and high-entropy ASLR on x64), DEP,
# stack protection, no section both writable and executable, and imports of system DLLs only;
# what the embedded manifest declares; and that a 32-bit build reaches the 64-bit registry view.
#   check-pe.sh PROGRAM [PROGRAM...]   (tessaro.exe and tessaro.com of each build)
set -uo pipefail
# The execution level the manifest must ask for.
expect_level=${TESSARO_EXPECT_LEVEL:-asInvoker}
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
    # tessaro.com is the console companion a prompt waits for; tessaro.exe the window program.
    case "$exe" in
        *.com) subsystem='Windows CUI' ;;
        *) subsystem='Windows GUI' ;;
    esac
    grep -q "^Subsystem.*($subsystem)" <<<"$headers" || fail "not a $subsystem program"
    # A section that is code and not read-only is writable and executable.
    wx=$("$od" -h "$exe" | awk '/^ +[0-9]+ /{name=$2; getline; if ($0 ~ /CODE/ && $0 !~ /READONLY/) print name}')
    [ -z "$wx" ] || fail "writable and executable sections: $wx"
    # Read to the end (no -q): an early exit would break the pipe and count as a failure.
    strings -a "$exe" | grep 'stack smashing detected' >/dev/null || fail "no stack protection"
    imports=$(grep 'DLL Name:' <<<"$headers" | awk '{print $3}')
    for dll in $imports; do
        grep -qiE "$allowed" <<<"$dll" || fail "imports $dll, which is not a system DLL"
    done
    # The manifest on one line, so that the checks do not depend on how its XML is laid out.
    manifest=$(wrestool -x --raw --type=24 "$exe" | tr -s ' \t\r\n' ' ')
    need() { grep -qiE "$1" <<<"$manifest" || fail "the manifest lacks $2"; }
    need '<assemblyIdentity [^>]*name="Microsoft\.Windows\.Common-Controls"[^>]*version="6\.' \
        "Common Controls version 6"
    need '<dpiAwareness( [^>]*)?>[^<]*PerMonitorV2' "PerMonitorV2 dpiAwareness"
    need '<dpiAware( [^>]*)?> *true/pm *<' "dpiAware true/pm for older Windows"
    need '<supportedOS Id="\{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a\}"' "Windows 10 as a supported OS"
    level=$(sed -n 's/.*<requestedExecutionLevel [^>]*level="\([^"]*\)".*/\1/p' <<<"$manifest")
    [ "$level" = "$expect_level" ] || fail "the manifest asks for level '$level', not $expect_level"
    # The policy lives in the 64-bit view, which a 32-bit process reaches only through the Ex
    # functions given KEY_WOW64_64KEY; the others would work on the redirected 32-bit one.
    if [ "$od" = i686-w64-mingw32-objdump ]; then
        for f in RegOpenKeyExA RegCreateKeyExA RegDeleteKeyExA; do
            grep -qw "$f" <<<"$headers" || fail "does not import $f"
        done
        for f in RegOpenKeyA RegCreateKeyA RegDeleteKeyA; do
            grep -qw "$f" <<<"$headers" && fail "imports $f, blind to the 64-bit registry view"
        done
    fi
    echo "$exe: $(stat -c %s "$exe") bytes; imports: $(echo $imports)"
done
exit $status
