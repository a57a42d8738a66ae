#!/usr/bin/env bash
# The desktop road under Xvfb, as a person meets the installed product: a session starts tapwell from its
# login item, the tray lists the jobs and opens tapwell's menu, and a press of the emulated scanner's
# button runs job 1 ("Scan to folder") into a searchable PDF. Every step leaves a screenshot in the
# output folder (scripts/screens pages through them).
# Usage: road.sh <installed prefix> <k3100-tray-host> <screenshot folder> [road...]   (roads: button)
# A road is a function road_<name> below that drives the session and calls shot <step> for each step.
# The prefix may be a staged one (DESTDIR or dpkg --root); the user's folders are made in a scratch home.
set -euo pipefail
prefix=$(cd "$1" && pwd)
tray_host=$2
shots=$3
shift 3
roads=("$@")
[ ${#roads[@]} -gt 0 ] || roads=(button)

run=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null && wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$run"
}
trap cleanup EXIT
fail() {
  echo "desktop road: $*" >&2
  for log in "$run"/*.log; do
    echo "--- $(basename "$log")" >&2
    tail -20 "$log" >&2
  done
  exit 1
}
# wait_for <seconds> <what> <command...>: polls the command every 0.2 s.
wait_for() {
  local seconds=$1 what=$2
  shift 2
  for _ in $(seq $((seconds * 5))); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  fail "$what did not happen within ${seconds}s"
}
# The stand-in may come from a sanitizer build, whose leak report at exit is Qt's, not the road's.
tray() {
  ASAN_OPTIONS=detect_leaks=0 "$tray_host" "$@"
}
count=0
shot() {
  count=$((count + 1))
  import -window root "$shots/$(printf '%02d' "$count")-$1.png"
}

mkdir -p "$shots"
rm -f "$shots"/*.png "$shots"/*.txt "$shots"/*.desktop

# A user of the scratch home: settings, Pictures and login items of its own.
export HOME=$run/home
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_RUNTIME_DIR=$run/runtime
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$HOME/Pictures" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf 'XDG_PICTURES_DIR="$HOME/Pictures"\n' >"$XDG_CONFIG_HOME/user-dirs.dirs"
export PATH=$prefix/bin:$PATH XDG_DATA_DIRS=$prefix/share:/usr/share
export K3100_INSTALL_PREFIX=$prefix K3100_LOCK_DIR=$run K3100_EMULATOR_SOCKET=$run/scanner
unset K3100_TWAIN_DS_DIR K3100_DATA_DIR QT_QPA_PLATFORM XDG_CURRENT_DESKTOP

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$run/display" >"$run/xvfb.log" 2>&1 &
pids+=($!)
wait_for 10 "the X server's start" test -s "$run/display"
export DISPLAY=":$(cat "$run/display")"
DBUS_SESSION_BUS_ADDRESS=$(dbus-daemon --session --fork --print-address=1 --print-pid=3 3>"$run/bus.pid")
export DBUS_SESSION_BUS_ADDRESS
pids+=("$(cat "$run/bus.pid")")
tray serve >>"$run/tray-items" 2>"$run/tray.log" &
pids+=($!)
"$prefix/bin/k3100-emulator" --samples >"$run/emulator.log" 2>&1 &
pids+=($!)
wait_for 10 "the emulated scanner's start" "$prefix/bin/k3100-emulator" --control status

# Button 1 runs the first job rather than the scan-first window.
cat >"$XDG_CONFIG_HOME/com.orvikElectronics.tollivar.plist" <<'PLIST'
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
	<key>AppBtn1AllocFOAScanKey</key>
	<false/>
</dict>
</plist>
PLIST

# The first start, from the applications menu, puts tapwell into the login items; the session after it
# starts tapwell from there, as a desktop session does.
login_item=$XDG_CONFIG_HOME/autostart/com.orvikElectronics.tapwell.desktop
"$prefix/bin/tapwell" >"$run/tapwell-first.log" 2>&1 &
first=$!
wait_for 20 "tapwell's login item" test -f "$login_item"
kill "$first" && wait "$first" 2>/dev/null || true
: >"$run/tray-items"
exec_line=$(sed -n 's/^Exec=//p' "$login_item")
[ -n "$exec_line" ] || fail "the login item has no Exec line"
$exec_line >"$run/tapwell.log" 2>&1 &
pids+=($!)
wait_for 20 "tapwell's tray icon" test -s "$run/tray-items"
item=$(head -1 "$run/tray-items")
cp "$login_item" "$shots/login-item.desktop"

road_button() {
  tray menu "$item" >"$shots/tray-menu.txt" || fail "the tray could not read tapwell's menu"
  grep -q "Scan to folder" "$shots/tray-menu.txt" || fail "the tray menu lists no jobs: $(cat "$shots/tray-menu.txt")"
  tray click "$item" || fail "a click on the tray icon was refused"
  sleep 1
  shot tray-menu
  # The menu closes as a person closes it, with Escape, before the button is pressed.
  xdotool key Escape
  sleep 2.5 # one poll sees the button up, so the press is a change
  "$prefix/bin/k3100-emulator" --control "press 1" >/dev/null
  local pdf=
  for step in $(seq 240); do
    pdf=$(find "$HOME/Pictures" -name '*.pdf' -newer "$login_item" | head -1)
    [ -n "$pdf" ] && ! pgrep -u "$(id -u)" -x tollivar >/dev/null && break
    case $step in 10 | 30 | 60) shot job-running ;; esac
    sleep 0.5
  done
  [ -n "$pdf" ] || fail "the press of button 1 wrote no PDF"
  shot job-done
  pdftotext "$pdf" - | tr -s ' \n' >"$shots/job-1-text.txt"
  [ "$(grep -Eo '[A-Za-z]{4,}' "$shots/job-1-text.txt" | wc -l)" -ge 10 ] ||
    fail "the PDF of job 1 is not searchable: $(head -c 300 "$shots/job-1-text.txt")"
  pdftoppm -r 30 -png -f 1 -l 1 "$pdf" "$run/page" && mv "$run"/page*.png "$shots/$(printf '%02d' $((count + 1)))-job-1-page-1.png"
  count=$((count + 1))
  echo "desktop road: button: job 1 wrote $(basename "$pdf") ($(pdfinfo "$pdf" | sed -n 's/^Pages: *//p') pages, searchable)"
}

for road in "${roads[@]}"; do
  "road_$road"
done
