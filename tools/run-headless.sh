#!/usr/bin/env bash
# Runs the program in a private Xvfb screen for a few seconds and saves what it shows.
#   run-headless.sh PREFIX PROGRAM.exe SCREENSHOT.png
set -euo pipefail
prefix=$1 program=$2 shot=$3
export WINEPREFIX=$prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="winealsa.drv,winepulse.drv,wineoss.drv=d;mscoree,mshtml="
n=$((100 + RANDOM % 100))
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=":$n"
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
[ -f "$prefix/.configured" ] || {
    wine wineboot -i >/dev/null 2>&1 || true
    "$(dirname "$0")/../tests/support/configure-prefix.sh"
    wineserver -w
    touch "$prefix/.configured"
}
wine "$program" &
for _ in $(seq 60); do
    xdotool search --name '^Tessaro$' >/dev/null 2>&1 && break
    sleep 0.5
done
sleep 1
import -window root "$shot"
echo "No display: the program ran in Xvfb; its screen is in $shot"
