# Helpers shared by the run and test scripts; sourced, not run.

# Starts a private Xvfb on the first free display number and exports
# DISPLAY for it; KALEIDON_XVFB_PID names the server so that the caller can
# end it. Xvfb picks the number itself (-displayfd): a fixed number can be
# taken by another server, or left behind as a dead socket.
kaleidon_start_xvfb() {
  local out log display
  out=$(mktemp)
  log=$(mktemp)
  setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$out" >"$log" 2>&1 &
  KALEIDON_XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    display=":$(head -n 1 "$out")"
    if [ "$display" != ":" ] && kaleidon_display_answers "$display"; then
      export DISPLAY=$display
      rm -f "$out" "$log"
      return 0
    fi
    sleep 0.1
  done
  echo "Xvfb did not start:" >&2
  cat "$log" >&2
  rm -f "$out" "$log"
  return 1
}

# Ends the Xvfb that kaleidon_start_xvfb started, if it started one.
kaleidon_stop_xvfb() {
  [ -z "${KALEIDON_XVFB_PID:-}" ] || kill "$KALEIDON_XVFB_PID" 2>/dev/null || true
}

# True when an X server answers on display $1. A server that many clients
# (Wine programs run in parallel) connect to at once refuses some for a
# moment: it is asked three times before it counts as dead.
kaleidon_display_answers() {
  local try
  for try in 1 2 3; do
    xdpyinfo -display "$1" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  return 1
}

# Makes sure DISPLAY names an X server that answers: the user's when it
# does, otherwise a private Xvfb (see kaleidon_start_xvfb). A DISPLAY that
# names no live server would make every window creation in Wine fail.
kaleidon_ensure_display() {
  KALEIDON_XVFB_PID=
  if [ -n "${DISPLAY:-}" ] && kaleidon_display_answers "$DISPLAY"; then
    return 0
  fi
  kaleidon_start_xvfb
}

# The Wine environment for Kaleidon's programs: 64-bit only, quiet, and no
# offer to download Mono or Gecko (the machine may have no network).
kaleidon_wine_env() {
  export WINEARCH=win64
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
}

# Runs a command as a standard user of Windows 10/11 would run it: root
# keeps its identity but loses the powers that let it write where file modes
# forbid (so a Windows directory without write permission stays unwritten).
# The Wine server must be started this way too: it is the process that
# opens files.
KALEIDON_AS_USER=(setpriv --bounding-set=-dac_override,-dac_read_search,-fowner --)
kaleidon_as_user() {
  "${KALEIDON_AS_USER[@]}" "$@"
}

# True when a Wine server of this prefix runs with root's power over file
# modes (started outside kaleidon_as_user): programs would then write
# anywhere.
kaleidon_privileged_wineserver() {
  local status pid
  for status in /proc/[0-9]*/status; do
    pid=${status#/proc/}
    pid=${pid%/status}
    [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = wineserver ] || continue
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" || continue
    # CAP_DAC_OVERRIDE is bit 1 of the effective set.
    (( 0x$(awk '/^CapEff/ { print $2 }' "$status") & 2 )) && return 0
  done
  return 1
}

# Creates the Wine prefix named by WINEPREFIX when it does not exist yet, as
# a fresh Windows 10/11 user profile: the Windows directory not writable and
# the desktop style at the system's default (WallpaperStyle 10, Fill). The
# profile is set once, when the prefix is made; what the user or a program
# writes later stays. With the argument "test", the windows of Kaleidon and
# of the unit-test programs are not left to a window manager: the test
# displays have none, and Wine would wait two seconds for one each time a
# window is hidden. (Wine's own tray keeps the default.) A Wine server left
# from elsewhere with root's powers is ended, so that the next program starts
# one as a standard user.
kaleidon_wine_prefix() {
  if [ ! -f "$WINEPREFIX/.kaleidon-standard-user" ]; then
    mkdir -p "$WINEPREFIX"
    [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1 || true
    wine reg add 'HKCU\Control Panel\Desktop' /v WallpaperStyle /d 10 /f >/dev/null 2>&1
    wine reg add 'HKCU\Control Panel\Desktop' /v TileWallpaper /d 0 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.kaleidon-standard-user"
  fi
  if [ "${1:-}" = test ] && [ ! -f "$WINEPREFIX/.kaleidon-unmanaged" ]; then
    local reg=$WINEPREFIX/kaleidon-unmanaged.reg program
    printf 'REGEDIT4\n' >"$reg"
    for program in Kaleidon {framework,imaging,net,update,app,dialogs}_tests; do
      printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\%s.exe\\X11 Driver]\n"Managed"="N"\n' \
        "$program" >>"$reg"
    done
    wine regedit /S "Z:$reg" >/dev/null 2>&1
    wineserver -w
    rm -f "$reg"
    touch "$WINEPREFIX/.kaleidon-unmanaged"
  fi
  chmod a-w "$WINEPREFIX/drive_c/windows"
  if kaleidon_privileged_wineserver; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  fi
}
