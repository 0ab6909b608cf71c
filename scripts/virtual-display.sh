#!/usr/bin/env bash
# Helpers to start X servers for tests and snapshots. Source this file.
#   start_xvfb       starts Xvfb with GLX and exports DISPLAY
#   start_xorg_dummy starts Xorg with the dummy driver (many XRandR modes) and
#                    exports KORVANA_XORG_DISPLAY
# Both servers end when the sourcing shell exits.

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

start_xvfb() {
  local n
  n=$(korvana_free_display 90)
  Xvfb ":$n" -screen 0 1280x1024x24 +extension GLX -nolisten tcp -noreset >/dev/null 2>&1 &
  korvana_servers+=($!)
  korvana_wait_display ":$n" $! || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$n"
}

start_xorg_dummy() {
  local n conf
  n=$(korvana_free_display 120)
  conf=$(cd "$(dirname "${BASH_SOURCE[0]}")/../tests" && pwd)/xorg-dummy.conf
  Xorg ":$n" -noreset -nolisten tcp -config "$conf" -logfile "/tmp/korvana-xorg-$n.log" >/dev/null 2>&1 &
  korvana_servers+=($!)
  if korvana_wait_display ":$n" $!; then
    export KORVANA_XORG_DISPLAY=":$n"
  else
    echo "Xorg with the dummy driver did not start; its tests are skipped" >&2
  fi
}
