# Sourced by test.sh and demo.sh: a private X display (Xvfb) and a persistent wineserver for one run.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
xvfb_pid=""

start_session() {
  if [ -z "${TARNWICK_USE_DISPLAY:-}" ]; then
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  mount_small_drive
  local prefix
  for prefix in $(session_prefixes); do
    WINEPREFIX=$prefix wineserver -p
    # Start Wine's own services now, detached from our output: otherwise the first test program's
    # services inherit its pipes and CTest waits for them until the session ends.
    WINEPREFIX=$prefix "$here/scripts/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1 || true
  done
}

# The test prefix and, where it exists, the one whose display runs at 144 DPI.
session_prefixes() {
  echo "$WINEPREFIX"
  [ -d "$here/build/wineprefix-dpi144" ] && [ "$WINEPREFIX" = "$here/build/wineprefix" ] && echo "$here/build/wineprefix-dpi144"
  return 0
}

# Drive T: of the test prefix: an 8 MB tmpfs on which a test can fill the disk. Mounting needs root;
# without it there is no drive T: and the test that needs it is skipped.
small_drive=$here/build/small-drive
mount_small_drive() {
  rm -f "$WINEPREFIX/dosdevices/t:"
  mkdir -p "$small_drive"
  mountpoint -q "$small_drive" || mount -t tmpfs -o size=8m tarnwick-small "$small_drive" 2>/dev/null || return 0
  ln -s "$small_drive" "$WINEPREFIX/dosdevices/t:"
}

stop_session() {
  rm -f "$WINEPREFIX/dosdevices/t:"
  mountpoint -q "$small_drive" 2>/dev/null && umount "$small_drive" 2>/dev/null
  local prefix
  for prefix in $(session_prefixes); do
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
  done
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
}
