#!/usr/bin/env bash
# The desktop road under Xvfb, as a person meets the installed product: a session starts tapwell from its
# login item, the tray lists the jobs and opens tapwell's menu, and a press of the emulated scanner's
# button runs job 1 ("Scan to folder") into a searchable PDF. Every step leaves a screenshot in the
# output folder (scripts/screens pages through them).
# Usage: road.sh <installed prefix> <k3100-tray-host> <screenshot folder> [road...]
#   roads: button (default), faults (each scanner fault mid-job; K3100_ROAD_FAULTS="jam gone" picks some),
#   breaks (tollivar or tapwell killed during a job, a full disk, a read-only output folder), and from
#   tollivar's own window: scan-first (scan, page through, turn a page, save), dialog (a setting of the
#   data source's dialog reaches the next scan), mail (the desktop's mail program gets the files), print
#   (to a PDF file from the print dialog)
# The window roads click controls by their accessible names, found by k3100-ui-probe (next to the tray
# stand-in).
# A road is a function road_<name> below that drives the session and calls shot <step> for each step.
# The prefix may be a staged one (DESTDIR or dpkg --root); the user's folders are made in a scratch home.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
prefix=$(cd "$1" && pwd)
tray_host=$2
ui_probe=$(dirname "$2")/k3100-ui-probe
shots=$3
shift 3
roads=("$@")
[ ${#roads[@]} -gt 0 ] || roads=(button)
# In the fault roads no written file may be lost or damaged, nothing may hang and every failure must
# reach the user (an alert that holds tollivar in state 105).

run=$(mktemp -d)
pids=()
mounted=
# Ends what the road started, in the reverse order, then whatever those started in turn (the launcher
# detaches tollivar, the bus starts services of its own), each found by the road's folder in its
# environment: nothing of the road outlives it, also when it fails or is stopped.
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null && wait "${pids[i]}" 2>/dev/null || true
  done
  env -u K3100_LOCK_DIR "$root/scripts/left-running" "K3100_LOCK_DIR=$run" 2>/dev/null || true
  [ -z "$mounted" ] || umount "$mounted"
  [ -n "${K3100_ROAD_KEEP:-}" ] || rm -rf "$run"
}
trap cleanup EXIT
fail() {
  echo "desktop road: $*" >&2
  [ -z "${DISPLAY:-}" ] || shot failure || true
  for log in "$run"/*.log; do
    echo "--- $(basename "$log")" >&2
    tail -20 "$log" >&2
  done
  exit 1
}
# wait_for <seconds> <what> <command...>: polls the command every 0.2 s (and at least once).
wait_for() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  while :; do
    "$@" >/dev/null 2>&1 && return 0
    [ "$SECONDS" -lt "$deadline" ] || break
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
# tapwell starts tollivar by its .desktop file's command, found on the PATH: here through a stand-in
# that keeps its messages for the road's log.
mkdir -p "$run/bin"
printf '#!/bin/sh\nexec "%s/bin/tollivar" "$@" 2>>"%s/tollivar.log"\n' "$prefix" "$run" >"$run/bin/tollivar"
chmod +x "$run/bin/tollivar"
export PATH=$run/bin:$prefix/bin:$PATH XDG_DATA_DIRS=$prefix/share:/usr/share
# Qt programs publish their controls on the session's accessibility bus, where the probe finds them.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export K3100_INSTALL_PREFIX=$prefix K3100_LOCK_DIR=$run K3100_EMULATOR_SOCKET=$run/scanner
unset K3100_TWAIN_DS_DIR K3100_DATA_DIR QT_QPA_PLATFORM XDG_CURRENT_DESKTOP

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$run/display" >"$run/xvfb.log" 2>&1 &
pids+=($!)
wait_for 10 "the X server's start" test -s "$run/display"
export DISPLAY=":$(cat "$run/display")"
DBUS_SESSION_BUS_ADDRESS=$(dbus-daemon --session --fork --print-address=1 --print-pid=3 3>"$run/bus.pid")
export DBUS_SESSION_BUS_ADDRESS
pids+=("$(cat "$run/bus.pid")")
# Started directly, not through tray(): the process id is then the stand-in's, not a subshell's that
# would leave the stand-in running when it is killed.
ASAN_OPTIONS=detect_leaks=0 "$tray_host" serve >>"$run/tray-items" 2>"$run/tray.log" &
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
tapwell=
start_session() {
  : >"$run/tray-items"
  local exec_line
  exec_line=$(sed -n 's/^Exec=//p' "$login_item")
  [ -n "$exec_line" ] || fail "the login item has no Exec line"
  $exec_line >>"$run/tapwell.log" 2>&1 &
  tapwell=$!
  pids+=($!)
  wait_for 20 "tapwell's tray icon" test -s "$run/tray-items"
  item=$(head -1 "$run/tray-items")
}
start_session
cp "$login_item" "$shots/login-item.desktop"

road_button() {
  tray menu "$item" >"$shots/tray-menu.txt" || fail "the tray could not read tapwell's menu"
  grep -q "Scan to folder" "$shots/tray-menu.txt" || fail "the tray menu lists no jobs: $(cat "$shots/tray-menu.txt")"
  tray click "$item" || fail "a click on the tray icon was refused"
  sleep 1
  shot tray-menu
  # The menu closes as a person closes it, with Escape, before the button is pressed.
  xdotool key Escape
  press_button
  local pdf=
  for step in $(seq 240); do
    pdf=$(find "$HOME/Pictures" -name '*.pdf' -newer "$login_item" | head -1)
    [ -n "$pdf" ] && no_tollivar && break
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

# Button 1 of the emulated scanner, once tapwell has polled it up (every 2 s; the first poll after a
# start or a reconnection comes later), so that the press is a change.
press_button() {
  sleep 4.5
  "$prefix/bin/k3100-emulator" --control "press 1" >/dev/null
}
# The application's state and whether an alert holds it, from the record it writes for tapwell when
# asked (as tapwell asks before it reads it): "<state> <modal>", or "none".
app_record() {
  dbus-send --session --print-reply --reply-timeout=2000 --dest=com.orvikElectronics.tollivar \
    /com/orvikElectronics/tollivar com.orvikElectronics.tollivar.thQS.Data >/dev/null 2>&1 || { echo none; return; }
  python3 - "$XDG_CONFIG_HOME/com.orvikElectronics.tollivar.plist" <<'PY' 2>/dev/null || echo none
import plistlib, sys
record = plistlib.loads(plistlib.load(open(sys.argv[1], 'rb'))['QS_AppSetting'])
print(record.get('QS_AppState', -1), int(bool(record.get('QS_IsModal'))))
PY
}
# The running tollivar of this road (the launcher detaches it, so it is told from other users' and
# other runs' by its environment; an ended one not reaped yet does not count).
tollivar_pid() {
  local pid
  for pid in $(ps -u "$(id -u)" -o pid=,stat=,comm= | awk '$3 == "tollivar" && $2 !~ /^Z/ { print $1 }'); do
    if tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "K3100_LOCK_DIR=$run"; then
      echo "$pid"
      return 0
    fi
  done
  return 1
}
no_tollivar() {
  ! tollivar_pid >/dev/null
}
# Every PDF in the output folder is whole; the ones there before a fault are unchanged.
pictures_sums() {
  (cd "$HOME/Pictures" && find . -maxdepth 1 -type f -name '*.pdf' -exec sha256sum {} + | sort)
}
check_pictures() {
  local label=$1 before=$2 pdf
  for pdf in "$HOME"/Pictures/*.pdf; do
    [ -e "$pdf" ] || continue
    qpdf --check "$pdf" >/dev/null 2>&1 || fail "$label: $(basename "$pdf") is damaged"
  done
  if [ -n "$before" ] && comm -23 <(echo "$before") <(pictures_sums) | grep -q .; then
    fail "$label: a file written before was lost or changed"
  fi
}
# press_and_settle <label>: presses button 1 and waits until the job has ended (tollivar gone) or an
# alert holds the application (state 105, modal); anything else within 90 s is a hang.
settled=
press_and_settle() {
  local label=$1 record
  press_button
  wait_for 20 "$label: tollivar's start" tollivar_pid
  for _ in $(seq 450); do
    if no_tollivar; then
      settled=ended
      return
    fi
    record=$(app_record)
    # The error over a failed batch, or over the top screen when the job was refused before a sheet fed.
    if [ "$record" = "105 1" ] || [ "$record" = "0 1" ]; then
      settled=alert
      return
    fi
    sleep 0.2
  done
  shot "$label-hang"
  fail "$label: tollivar neither ended nor showed an error within 90 s (record: $record)"
}
# A fresh feeder of four sheets and the faults given.
load_scanner() {
  local control=$prefix/bin/k3100-emulator
  "$control" --control clear-faults >/dev/null
  "$control" --control replug >/dev/null
  "$control" --control clear-feeder >/dev/null
  "$control" --control "load gen:ramp-a4 ${sheets:-4}" >/dev/null
  for fault in "$@"; do
    "$control" --control "fault $fault" >/dev/null
  done
}
# The end of the session while the alert is up: SIGTERM ends tollivar.
close_alert() {
  local pid
  pid=$(tollivar_pid) || return 0
  kill "$pid"
  wait_for 15 "tollivar's end on SIGTERM with its alert up" no_tollivar
}

# Each scanner fault in the middle of a pressed job: the job ends with a whole PDF or the application
# shows the error; files written before stay as they were.
road_faults() {
  local kind before
  local kinds=(no-paper jam double-feed cover-open lamp-error not-ready unit-attention hardware-error timeout
    stall gone short-reads)
  [ -z "${K3100_ROAD_FAULTS:-}" ] || read -ra kinds <<<"$K3100_ROAD_FAULTS"
  for kind in "${kinds[@]}"; do
    before=$(pictures_sums)
    load_scanner "$kind@scan:2"
    press_and_settle "fault-$kind"
    if [ "$settled" = alert ]; then
      shot "fault-$kind-alert"
      close_alert
    elif [ "$(comm -13 <(echo "$before") <(pictures_sums) | wc -l)" -eq 0 ]; then
      fail "fault-$kind: the job ended without a file and without telling the user"
    fi
    check_pictures "fault-$kind" "$before"
    echo "desktop road: faults: $kind: $settled"
  done
}

new_pdfs() {
  comm -13 <(echo "$1") <(pictures_sums) | wc -l
}
# Pressed jobs that lose a program or their output folder on the way.
road_breaks() {
  local before pid item_file
  # tollivar killed while it writes: what was written before stays whole, and the next press works.
  before=$(pictures_sums)
  sheets=12 load_scanner
  press_button
  wait_for 30 "killed-app: the job's start" job_started
  sleep 1 # its first pages are being written
  kill -KILL "$(tollivar_pid)"
  wait_for 10 "killed-app: tollivar's end" no_tollivar
  check_pictures killed-app "$before"
  before=$(pictures_sums)
  load_scanner
  press_and_settle killed-app-next
  [ "$settled" = ended ] && [ "$(new_pdfs "$before")" -eq 1 ] || fail "killed-app: the next press wrote no PDF"
  check_pictures killed-app-next "$before"
  echo "desktop road: breaks: tollivar killed while writing: earlier files whole, the next press works"

  # tapwell killed while tollivar runs the job: the job still ends with its PDF.
  before=$(pictures_sums)
  load_scanner
  press_button
  wait_for 30 "killed-helper: the job's start" job_started
  kill -KILL "$tapwell"
  wait_for 120 "killed-helper: the job's end" no_tollivar
  [ "$(new_pdfs "$before")" -eq 1 ] || fail "killed-helper: the job wrote no PDF"
  check_pictures killed-helper "$before"
  start_session
  echo "desktop road: breaks: tapwell killed during a job: the job ends with its PDF"

  # A full disk and a read-only output folder (a file system mounted over the folder, so only root): the
  # job fails with the error shown and leaves no damaged file.
  if [ "$(id -u)" -ne 0 ]; then
    echo "desktop road: breaks: full disk and read-only folder skipped (they mount a file system: root only)"
    return
  fi
  local case label mount_options
  for case in disk-full:size=96k,mode=0777 read-only:ro; do
    label=${case%%:*} mount_options=${case#*:}
    before=$(pictures_sums)
    mount -t tmpfs -o "$mount_options" k3100-road "$HOME/Pictures"
    mounted=$HOME/Pictures
    load_scanner
    press_and_settle "$label"
    [ "$settled" != alert ] || shot "$label-alert"
    check_pictures "$label" ""
    close_alert
    umount "$HOME/Pictures"
    mounted=
    [ "$settled" = alert ] || fail "$label: the job ended without telling the user"
    check_pictures "$label" "$before"
    echo "desktop road: breaks: $label output folder: the error is shown"
  done
}
# tollivar has the job and scans (state 101 on).
job_started() {
  local record
  record=$(app_record)
  [ "$record" != none ] && [ "${record% *}" -ge 101 ]
}

# The window roads: controls found by their accessible names (and roles) and clicked where they show.
probe() {
  ASAN_OPTIONS=detect_leaks=0 "$ui_probe" "$@"
}
# click <name> [role [window]]: waits up to 20 s for the control to show, enabled, then clicks its centre.
click() {
  click_at 0 "$@"
}
# click_below <name> [role]: a click into the field under a label, as a person finds it.
click_below() {
  click_at 1 "$@"
}
click_at() {
  local below=$1 box='' deadline=$((SECONDS + 20))
  shift
  until box=$(probe find "$@"); do
    [ "$SECONDS" -lt "$deadline" ] || break
    sleep 0.2
  done
  if [ -z "$box" ]; then
    probe list >"$shots/controls.txt" 2>&1 || true
    fail "no enabled control \"$1\"${2:+ ($2)} on the screen (see controls.txt)"
  fi
  local x y w h
  read -r x y w h _ <<<"$box"
  if [ "$below" = 1 ]; then
    xdotool mousemove $((x + 20)) $((y + h + 12)) click 1
  else
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
  fi
}
# shows <seconds> <name> [role]: waits for the control.
shows() {
  local seconds=$1
  shift
  wait_for "$seconds" "the control \"$1\"" probe find "$@"
}
# is_checked <name> [role [window]]
is_checked() {
  [ "$(probe find "$@" | cut -d' ' -f5)" = 1 ]
}
# output_as <Save|Mail> <file name> <road>: from the choice of output, the output with the name typed
# over the one the name settings would make, to its end.
output_as() {
  probe find "File name:" label >/dev/null || click "$1" "push button"
  is_checked "Use the name settings" "check box" && click "Use the name settings" "check box"
  click_below "File name:" label
  xdotool key ctrl+a
  xdotool type "$2"
  shot "$3-name"
  click "$1" "push button"
  shows 60 Done "push button"
  shot "$3-done"
}
# tollivar started by hand, in scan-first mode, on its start screen.
open_tollivar() {
  "$run/bin/tollivar" &
  pids+=($!)
  shows 20 "Scan First" "check box"
  click "Scan First" "check box"
  shows 10 Scan "push button"
}
quit_tollivar() {
  local pid
  pid=$(tollivar_pid) || return 0
  kill "$pid"
  wait_for 15 "tollivar's end" no_tollivar
}
# The newest files in the Pictures folder written since the marker file.
new_files() {
  find "$HOME/Pictures" -type f -newer "$1" | sort
}

# Scan first from the main window: scan, page through the preview, turn the third page, save under a
# name typed in; the file is there, whole, with every page and the third one on its side.
road_scan_first() {
  local marker=$run/scan-first-start files pdf
  touch "$marker"
  sheets=3 load_scanner
  open_tollivar
  shot scan-first-start
  click Scan "push button"
  shows 60 Save "push button"
  shot scan-first-scanned
  click "First page" "push button"
  shot scan-first-page-1
  click "Next page" "push button"
  click "Next page" "push button"
  shot scan-first-page-3
  click "Turn the page right" "push button"
  sleep 0.5
  shot scan-first-page-3-turned
  output_as Save "road scan" scan-first
  files=$(new_files "$marker")
  pdf=$HOME/Pictures/road\ scan.pdf
  [ "$files" = "$pdf" ] || fail "scan-first: the save wrote \"$files\" instead of \"$pdf\""
  qpdf --check "$pdf" >/dev/null || fail "scan-first: the saved PDF is damaged"
  local sizes
  sizes=$(pdfinfo -f 1 -l 99 "$pdf" | awk '/^Page .* size:/ { print ($4 > $6 ? "wide" : "tall") }' | tr '\n' ' ')
  [ "$sizes" = "tall tall wide tall tall tall " ] ||
    fail "scan-first: the pages of the saved PDF lie \"$sizes\" instead of the third one alone on its side"
  click Done "push button"
  quit_tollivar
  echo "desktop road: scan-first: 6 pages saved as $(basename "$pdf"), the turned one on its side"
}

# The data source's own dialog, opened from tollivar's scan settings, changes the colour mode and the
# resolution; the next scan's file has both.
road_dialog() {
  local marker=$run/dialog-start driver="Use the scanner driver's detailed settings"
  touch "$marker"
  sheets=1 load_scanner
  open_tollivar
  click "Scan Settings…" "push button"
  is_checked "$driver" "check box" || click "$driver" "check box"
  shot dialog-settings
  click "Detailed Settings…" "push button"
  shows 20 "Scan Settings — K3100 Scanner" dialog
  shot dialog-open
  # Black and white at 300 dpi, both seen in the next scan's file (the automatic colour mode would make
  # the grey pages grey, the resolution would stay at 200 dpi).
  local dialog="Scan Settings — K3100 Scanner"
  # The pop-up menus show their current choices, the colour mode's and the resolution's.
  click "Automatic…" "combo box" "$dialog"
  click "Black and white" "list item"
  click "200 dpi" "combo box" "$dialog"
  sleep 0.5
  shot dialog-resolutions
  click "300 dpi" "list item"
  shot dialog-changed
  click OK "push button" "$dialog"
  click OK "push button" "Scan Settings"
  click Scan "push button"
  shows 60 Save "push button"
  shot dialog-scanned
  output_as Save "road black and white" dialog
  local pdf=$HOME/Pictures/road\ black\ and\ white.pdf images
  [ "$(new_files "$marker")" = "$pdf" ] || fail "dialog: the save wrote \"$(new_files "$marker")\", not $pdf"
  # Columns: page num type width height color comp bpc enc interp object id x-ppi y-ppi.
  images=$(pdfimages -list "$pdf" | awk 'NR > 2 { print $6, $8 "-bit", $13, "dpi" }' | sort -u | tr '\n' ' ')
  [ "$images" = "gray 1-bit 300 dpi " ] ||
    fail "dialog: the next scan's pages are \"$images\", not black and white at 300 dpi"
  click Done "push button"
  # The window's own settings again, for the roads after this one.
  click "Scan Settings…" "push button"
  ! is_checked "$driver" "check box" || click "$driver" "check box"
  click OK "push button" "Scan Settings"
  quit_tollivar
  echo "desktop road: dialog: the data source's dialog set black and white at 300 dpi, and the next scan has it"
}

# Mail from the choice of output: the files go to the desktop's mail program, here a stand-in registered
# for "mailto:" links that notes its arguments; the attachments it is handed are the scanned pages.
road_mail() {
  local apps=$XDG_DATA_HOME/applications
  mkdir -p "$apps"
  printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s/mail-args"\n' "$run" >"$run/bin/road-mail"
  chmod +x "$run/bin/road-mail"
  printf '[Desktop Entry]\nType=Application\nName=Road Mail\nExec=%s %%u\nMimeType=x-scheme-handler/mailto;\n' \
    "$run/bin/road-mail" >"$apps/road-mail.desktop"
  printf '[Default Applications]\nx-scheme-handler/mailto=road-mail.desktop\n' >"$XDG_CONFIG_HOME/mimeapps.list"
  sheets=2 load_scanner
  open_tollivar
  click Scan "push button"
  shows 60 Mail "push button"
  click Mail "push button"
  # JPEG, a file a page, so that the mail has more than one attachment.
  click PDF "combo box"
  click JPEG "list item"
  output_as Mail "road mail" mail
  wait_for 10 "the mail program's start" test -s "$run/mail-args"
  cp "$run/mail-args" "$shots/mail-args.txt"
  local attachments file
  attachments=$(python3 -c '
import sys, urllib.parse
for line in open(sys.argv[1]):
    for key, value in urllib.parse.parse_qsl(urllib.parse.urlsplit(line.strip()).query):
        if key == "attach":
            print(value)' "$run/mail-args")
  [ "$(echo "$attachments" | grep -c .)" -eq 4 ] ||
    fail "mail: the mail program got \"$attachments\" instead of the 4 pages: $(cat "$run/mail-args")"
  while read -r file; do
    [ "$(identify -format %m "$file" 2>/dev/null)" = JPEG ] || fail "mail: the attachment $file is no whole JPEG"
  done <<<"$attachments"
  click Done "push button"
  quit_tollivar
  echo "desktop road: mail: the mail program got the 4 pages as JPEG attachments"
}

# Print from the choice of output to the PDF file the print dialog proposes, as a person without a
# printer would (Qt's own PDF output; the session has no print server): the file has every page.
road_print() {
  local pdf=$HOME/print.pdf main="K3100 Scanning"
  sheets=1 load_scanner
  open_tollivar
  click Scan "push button"
  shows 60 Print "push button"
  click Print "push button"
  click "Choose…" "push button"
  # The file the dialog proposes, in the home folder (typing another would open the file name
  # completion over a crowded /tmp).
  shows 20 "Print to File (PDF)" "combo box" Print
  shot print-dialog
  click Print "push button" Print
  shows 10 "Page layout:" label
  shot print-to-file
  click Print "push button" "$main"
  shows 60 Done "push button"
  shot print-done
  [ -f "$pdf" ] || fail "print: nothing was printed into $pdf"
  qpdf --check "$pdf" >/dev/null || fail "print: the printed PDF is damaged"
  [ "$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')" = 2 ] || fail "print: the printout has not the 2 pages scanned"
  pdftoppm -r 20 -png -f 1 -l 1 "$pdf" "$run/printed" && mv "$run"/printed*.png "$shots/$(printf '%02d' $((count + 1)))-print-page-1.png"
  count=$((count + 1))
  click Done "push button"
  quit_tollivar
  echo "desktop road: print: the 2 pages printed into $(basename "$pdf") from the print dialog"
}

for road in "${roads[@]}"; do
  "road_${road//-/_}"
done
