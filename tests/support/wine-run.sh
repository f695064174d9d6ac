#!/usr/bin/env bash
# Runs one Windows program under Wine in a private, throw-away prefix, so that tests never see
# each other's registry. A prepared template prefix is copied instead of booting a new one each
# time (booting takes about ten seconds). Without a DISPLAY an Xvfb server is started for the run.
#
#   wine-run.sh PROGRAM.exe [ARGS...]
# Environment: TESSARO_WINE_TEMPLATE  where the template prefix lives (default: under /tmp)
#              TESSARO_KEEP_PREFIX=1  keep the prefix afterwards, for a look at what went wrong
#              TESSARO_LOGPIXELS=144  screen DPI of this prefix (Wine reads it only at start-up)
#              TESSARO_SCREEN=640x480x24  size and depth of the Xvfb screen (default 1024x768x24)
#              TESSARO_COLORS=dark    light text on black, as a dark high-contrast scheme has it
#              TESSARO_FONTS=fallback without Tahoma, as a fresh prefix: Wine's fallback font
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# The template's name follows its settings, so a change to them never meets a stale template.
stamp=$(md5sum <"$here/configure-prefix.sh" | cut -c1-8)
template=${TESSARO_WINE_TEMPLATE:-/tmp/tessaro-wine-template-$stamp}
export WINEDEBUG=${WINEDEBUG:--all}
# Sound goes through ALSA to a card that plays into nothing (null-audio.conf).
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"winepulse.drv,wineoss.drv=d;mscoree,mshtml="}
export ALSA_CONFIG_PATH=${ALSA_CONFIG_PATH:-$here/null-audio.conf}
wine_bin=$(command -v wine64 || command -v wine)

prefix=""
cleanup() {
    if [ -n "$prefix" ]; then
        WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
        [ "${TESSARO_KEEP_PREFIX:-0}" = 1 ] && echo "wine-run: kept $prefix" >&2 || rm -rf "$prefix"
    fi
    [ -z "${XVFB_PID:-}" ] || { kill "$XVFB_PID" && wait "$XVFB_PID"; } 2>/dev/null || true
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
    # Xvfb takes a free display number itself and names it once it accepts clients: no race with
    # other servers starting meanwhile.
    coproc XVFB { exec Xvfb -displayfd 1 -screen 0 "${TESSARO_SCREEN:-1024x768x24}" -nolisten tcp 2>/dev/null; }
    read -r -t 10 display <&"${XVFB[0]}" || { echo "wine-run: could not start Xvfb" >&2; exit 1; }
    export DISPLAY=":$display"
fi

# The template is built once under a lock; later runs only copy it.
exec 9>"$template.lock"
flock 9
if [ ! -f "$template/.ready" ]; then
    rm -rf "$template"
    WINEPREFIX="$template" "$wine_bin" wineboot -i >/dev/null 2>&1 || true
    WINEPREFIX="$template" "$here/configure-prefix.sh"
    WINEPREFIX="$template" wineserver -w
    touch "$template/.ready"
fi
flock -u 9
prefix=$(mktemp -d /tmp/tessaro-wine.XXXXXX)
cp -a "$template/." "$prefix/"
export WINEPREFIX="$prefix"
if [ -n "${TESSARO_LOGPIXELS:-}" ]; then
    "$wine_bin" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
        /d "$TESSARO_LOGPIXELS" /f >/dev/null
    # Each process reads the DPI as it starts: let the processes that started with this wineserver
    # (services, explorer) end first, so none of them keeps the old value.
    wineserver -w
fi
if [ "${TESSARO_COLORS:-}" = dark ]; then
    for pair in ButtonFace=0,0,0 ButtonText=255,255,255 Window=0,0,0 WindowText=255,255,255 \
        WindowFrame=255,255,255 GrayText=63,242,63 HotTrackingColor=255,255,0 \
        ButtonShadow=128,128,128 ButtonHilight=192,192,192 ButtonLight=64,64,64 \
        ButtonDkShadow=255,255,255; do
        "$wine_bin" reg add 'HKCU\Control Panel\Colors' /v "${pair%%=*}" /t REG_SZ \
            /d "$(tr , ' ' <<<"${pair#*=}")" /f >/dev/null
    done
    wineserver -w
fi
if [ "${TESSARO_FONTS:-}" = fallback ]; then
    rm -f "$prefix"/drive_c/windows/Fonts/tahoma*.ttf
    "$wine_bin" reg delete 'HKCU\Software\Wine\Fonts\Cache' /f >/dev/null 2>&1 || true
    wineserver -w
fi
"$wine_bin" "$@" || exit  # with the program's status
