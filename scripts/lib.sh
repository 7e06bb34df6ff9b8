# Helpers shared by the run and test scripts; sourced, not run.

# Makes sure DISPLAY names a running X server: the user's when it is set,
# otherwise Kaleidon's own Xvfb on :99, started on first use and then shared
# by every later Wine program.
kaleidon_ensure_display() {
  if [ -n "${DISPLAY:-}" ]; then
    return 0
  fi
  export DISPLAY=:99
  [ -e /tmp/.X11-unix/X99 ] && return 0
  rm -f /tmp/.X99-lock
  (setsid Xvfb :99 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &)
  local i
  for i in $(seq 1 100); do
    [ -e /tmp/.X11-unix/X99 ] && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on :99" >&2
  return 1
}

# The Wine environment for Kaleidon's programs: 64-bit only, quiet, and no
# offer to download Mono or Gecko (the machine may have no network).
kaleidon_wine_env() {
  export WINEARCH=win64
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
}

# Creates the Wine prefix named by WINEPREFIX when it does not exist yet.
kaleidon_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
}
