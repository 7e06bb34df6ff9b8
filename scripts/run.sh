#!/usr/bin/env bash
# Builds Kaleidon.exe and runs it under Wine, inside a Wine virtual desktop
# with Wine's shell on (a taskbar with its notification area), so that the
# desktop, the wallpaper Kaleidon applies and its tray icon can be seen. The
# desktop window opens on the user's display, or on an Xvfb display started
# here. Kaleidon runs until it is ended (tray menu "Exit", or Ctrl-C here).
# Settings go to the registry of the default Wine prefix. Kaleidon runs as a
# standard user of Windows 10/11 would (see kaleidon_as_user in lib.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
. scripts/lib.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Kaleidon
kaleidon_wine_env
export WINEPREFIX=${WINEPREFIX:-$HOME/.wine}
kaleidon_ensure_display
trap kaleidon_stop_xvfb EXIT
kaleidon_wine_prefix
desktop=Kaleidon
size=${KALEIDON_DESKTOP_SIZE:-1024x768}
kaleidon_as_user wine reg add "HKCU\\Software\\Wine\\Explorer\\Desktops\\$desktop" /v EnableShell /t REG_DWORD /d 1 /f >/dev/null 2>&1
kaleidon_as_user wine explorer "/desktop=$desktop,$size" build/win64/Kaleidon.exe
