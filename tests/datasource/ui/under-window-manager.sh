#!/usr/bin/env bash
# Runs a window test program on a virtual X server of one screen size with a window manager (openbox),
# which gives every window its title bar and borders, as a desktop does: once at each scale (100%, 200%)
# and desktop font size (11 and 14 points), all on the one server. The server picks a free display
# number itself, so that several of these run side by side.
# Usage: under-window-manager.sh <width>x<height> <test program> [its arguments...]
set -euo pipefail
size=$1
shift
run=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null && wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$run"
}
trap cleanup EXIT
wait_for() {
  local what=$1
  shift
  for _ in $(seq 100); do
    "$@" && return 0
    sleep 0.1
  done
  echo "under-window-manager: $what did not happen within 10 s" >&2
  cat "$run"/*.log >&2
  return 1
}

Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$run/display" >"$run/xvfb.log" 2>&1 &
pids+=($!)
wait_for "the X server's start" test -s "$run/display"
export DISPLAY=":$(cat "$run/display")"
openbox --sm-disable --startup "touch $run/ready" >"$run/openbox.log" 2>&1 &
pids+=($!)
wait_for "the window manager's start" test -f "$run/ready"

# The test programs read these: the platform to use instead of the offscreen one, and that windows get
# their frames from a window manager here.
export K3100_QPA_PLATFORM=xcb K3100_WINDOW_MANAGER=openbox
status=0
for scale in 1 2; do
  for points in 11 14; do
    echo "== ${size} at $((scale * 100))% with ${points} pt"
    QT_SCALE_FACTOR=$scale K3100_FONT_PT=$points "$@" || status=1
  done
done
exit "$status"
