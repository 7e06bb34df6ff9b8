#!/usr/bin/env bash
# Builds Kaleidon.exe and runs it under Wine, on the user's display or on an
# Xvfb display started here. It runs until it is ended (tray menu "Exit", or
# Ctrl-C here). Settings go to the registry of the default Wine prefix.
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
wine build/win64/Kaleidon.exe
