#!/usr/bin/env bash
# Helpers to start X servers for tests and snapshots. Source this file.
#   start_xvfb       starts Xvfb with GLX and exports DISPLAY
#   start_xorg_dummy starts Xorg with the dummy driver (many XRandR modes) and
#                    exports KORVANA_XORG_DISPLAY
#   start_desktops   starts one more of each with the openbox window manager
#                    on it and exports KORVANA_WM_DISPLAY and
#                    KORVANA_XORG_WM_DISPLAY
# All servers end when the sourcing shell exits.

korvana_free_display() {
  local n=$1
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  echo "$n"
}

korvana_wait_display() {
  local display=$1 pid=$2
  for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

korvana_servers=()
korvana_stop_servers() {
  for pid in "${korvana_servers[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap korvana_stop_servers EXIT

# korvana_xvfb FIRST: starts Xvfb on the first free display from FIRST and
# leaves its name in korvana_started (no subshell, so that the server is
# remembered and stopped at exit).
korvana_xvfb() {
  local n
  n=$(korvana_free_display "$1")
  Xvfb ":$n" -screen 0 1280x1024x24 +extension GLX -nolisten tcp -noreset >/dev/null 2>&1 &
  korvana_servers+=($!)
  korvana_wait_display ":$n" $! || return 1
  korvana_started=":$n"
}

# korvana_xorg FIRST: the same with Xorg and the dummy driver.
korvana_xorg() {
  local n conf
  n=$(korvana_free_display "$1")
  conf=$(cd "$(dirname "${BASH_SOURCE[0]}")/../tests" && pwd)/xorg-dummy.conf
  Xorg ":$n" -noreset -nolisten tcp -config "$conf" -logfile "/tmp/korvana-xorg-$n.log" >/dev/null 2>&1 &
  korvana_servers+=($!)
  korvana_wait_display ":$n" $! || return 1
  korvana_started=":$n"
}

# korvana_openbox DISPLAY: starts openbox there and waits until it manages
# the screen (it announces itself on the root window).
korvana_openbox() {
  local display=$1
  DISPLAY=$display openbox --sm-disable >/dev/null 2>&1 &
  korvana_servers+=($!)
  for _ in $(seq 1 100); do
    DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  return 1
}

start_xvfb() {
  korvana_xvfb 90 || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=$korvana_started
}

start_xorg_dummy() {
  if korvana_xorg 120; then
    export KORVANA_XORG_DISPLAY=$korvana_started
  else
    echo "Xorg with the dummy driver did not start; its tests are skipped" >&2
  fi
}

start_desktops() {
  if korvana_xvfb 150 && korvana_openbox "$korvana_started"; then
    export KORVANA_WM_DISPLAY=$korvana_started
  else
    echo "Xvfb with openbox did not start; the desktop tests are skipped" >&2
  fi
  if korvana_xorg 170 && korvana_openbox "$korvana_started"; then
    export KORVANA_XORG_WM_DISPLAY=$korvana_started
  else
    echo "Xorg with openbox did not start; its desktop tests are skipped" >&2
  fi
}
