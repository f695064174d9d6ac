#!/usr/bin/env bash
# The MSIs that `make package` left in build/package: the x64 one installed, upgraded, refused as
# a downgrade and removed under Wine, with the AutoRun policy untouched throughout and the event
# source registered while installed; the x86 one (which cannot run here) read table by table.
set -euo pipefail
# The newer build below needs no signature (nor a time-stamp server).
unset TESSARO_SIGN_PFX TESSARO_SIGN_PASSWORD TESSARO_SIGN_TIMESTAMP
root=$(cd "$(dirname "$0")/../.." && pwd)
version=$(sed -n 's/^project(tessaro VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
IFS=. read -r major minor patch <<<"$version"
newer=$major.$minor.$((patch + 1))
fail() { echo "FAIL: $*"; exit 1; }

# Tables: 64-bit components only in the x64 MSI (wixl -a does not mark them); x86 into the 32-bit
# Program Files with the five files and the x64 MSI's UpgradeCode.
x86=$root/build/package/tessaro-$version-x86.msi
x64=$root/build/package/tessaro-$version-x64.msi
table() { msiinfo export "$1" "$2" | tail -n +4; }
[ "$(table "$x64" Component | cut -f4 | sort -u)" = 256 ] || fail "x64 components not 64-bit"
[ "$(table "$x86" Component | cut -f4 | sort -u)" = 0 ] || fail "x86 components not 32-bit"
table "$x86" Directory | grep -q "^INSTALLDIR	ProgramFilesFolder	Tessaro" || fail "x86 directory"
five="gpl.txt pellumo.dll pellumo2.dll tessaro.com tessaro.exe "
[ "$(table "$x86" File | cut -f3 | sort | tr '\n' ' ')" = "$five" ] || fail "x86 files"
[ "$(table "$x86" Property | grep UpgradeCode)" = "$(table "$x64" Property | grep UpgradeCode)" ] ||
    fail "UpgradeCode differs between x86 and x64"
[ "$(table "$x86" Registry | cut -f2-5 | sort)" = "$(table "$x64" Registry | cut -f2-5 | sort)" ] ||
    fail "x86 and x64 register the event source differently"

# x64 under Wine, in a copy of the tests' template prefix kept for the whole sequence.
prefix=$(TESSARO_KEEP_PREFIX=1 "$root/tests/support/wine-run.sh" cmd /c exit 2>&1 >/dev/null |
    sed -n 's/^wine-run: kept //p')
[ -d "$prefix" ] || fail "no Wine prefix"
work=$(mktemp -d)
trap 'WINEPREFIX=$prefix wineserver -k 2>/dev/null; rm -rf "$work" "$prefix"' EXIT
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cp "$x64" "$work/old.msi"
python3 "$root/tools/package.py" --version "$newer" --out "$work" >/dev/null
cp "$work/tessaro-$newer-x64.msi" "$work/new.msi"
cd "$work"
# Wine hands back only the low byte of an exit code; through cmd the whole code shows.
msiexec() { wine cmd /c "msiexec $* /qn & echo %ERRORLEVEL%" 2>/dev/null | tr -d '\r' | tail -1; }
policy='HKLM\Software\Microsoft\Windows\CurrentVersion\Policies\Explorer'
arp() { wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
    tr -d '\r' | grep -A1 'DisplayName *REG_SZ *Tessaro$' |
    sed -n 's/.*DisplayVersion *REG_SZ *//p' | tr '\n' ' ' || true; }
# The event source as Event Viewer finds it: "EventMessageFile REG_EXPAND_SZ path TypesSupported
# REG_DWORD 0x7", or nothing.
eventsource() { wine reg query 'HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Tessaro' \
    2>/dev/null | tr -d '\r' | sed -n 's/^ *\(EventMessageFile\|TypesSupported\) */\1 /p' | sort |
    tr -s ' \n' ' ' || true; }
files() { ls "$prefix/drive_c/Program Files/Tessaro" 2>/dev/null | tr '\n' ' '; }
# Wine puts the shortcut in the user's Start menu even for a machine-wide install.
shortcut() { find "$prefix/drive_c" -path '*Start Menu/Programs/Tessaro.lnk' | wc -l; }
wine reg add "$policy" /v NoDriveTypeAutoRun /t REG_DWORD /d 255 /f >/dev/null 2>&1

[ "$(msiexec /i old.msi)" = 0 ] || fail "install"
[ "$(files)" = "$five" ] || fail "installed files: $(files)"
[ "$(shortcut)" = 1 ] || fail "no Start menu shortcut"
[ "$(arp)" = "$version " ] || fail "Add/Remove Programs after install: $(arp)"
registered='EventMessageFile REG_EXPAND_SZ C:\Program Files\Tessaro\tessaro.exe TypesSupported REG_DWORD 0x7 '
[ "$(eventsource)" = "$registered" ] || fail "event source after install: $(eventsource)"
code=$(msiexec /i new.msi); [ "$code" = 0 ] || fail "upgrade: $code"
[ "$(arp)" = "$newer " ] || fail "Add/Remove Programs after upgrade: $(arp)"
[ "$(msiexec /i old.msi)" = 1603 ] || fail "downgrade not refused"
[ "$(msiexec /x new.msi)" = 0 ] || fail "uninstall"
[ -z "$(files)" ] && [ "$(shortcut)" = 0 ] && [ -z "$(arp)" ] && [ -z "$(eventsource)" ] ||
    fail "left behind: $(files) $(arp) $(eventsource)"
wine reg query "$policy" /v NoDriveTypeAutoRun 2>/dev/null | grep -q '0xff' ||
    fail "uninstall changed NoDriveTypeAutoRun"
echo "MSI: install (event source registered), upgrade to $newer, refused downgrade, uninstall; x86 tables"
