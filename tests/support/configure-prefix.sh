#!/usr/bin/env bash
# Settings every test prefix starts with. Unmanaged X windows make hiding and destroying a window
# take milliseconds instead of two seconds, and Wine then draws the frames itself.
set -euo pipefail
wine_bin=$(command -v wine64 || command -v wine)
"$wine_bin" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
# A fresh prefix without Wine's HTML engine never associates .txt with Notepad; Windows does.
"$wine_bin" reg add 'HKLM\Software\Classes\.txt' /ve /t REG_SZ /d txtfile /f >/dev/null 2>&1
# A crash ends the program at once, as on Windows without a debugger, instead of leaving it behind
# Wine's "Program Error" box until the test runs out of time.
"$wine_bin" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
# Wine's own Tahoma and Marlett (Debian's fonts-wine) where Windows keeps its fonts, so windows
# are drawn in the font they are laid out for and frames get their close-box glyph.
if [ -d /usr/share/wine/fonts ]; then
    fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    cp -n /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true
fi
