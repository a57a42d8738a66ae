#!/usr/bin/env bash
# A helper ends with its session bus: on a bus of its own, the helper takes its name, the bus ends (as
# when the session that started it logs out), and the helper ends too instead of polling on and
# starting the main application into a session that is gone.
# usage: BusEndTest.sh TAPWELL
set -u
tapwell=$1
scratch=$(mktemp -d)
bus=
helper=
cleanup() {
  [ -n "$helper" ] && kill -9 "$helper" 2>/dev/null
  [ -n "$bus" ] && kill "$bus" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
mkdir -m 700 "$scratch/runtime"
# The bus is a child of the test, not a daemon of its own: a test ended on its time-out takes it along.
dbus-daemon --session --nofork --print-address=3 3>"$scratch/address" &
bus=$!

# Polled in steps of 0.1 s; the bounds only end a hang.
wait_for() {
  local what=$1 tries=600
  shift
  until "$@"; do
    tries=$((tries - 1))
    if [ "$tries" -le 0 ]; then
      echo "$what" >&2
      cat "$scratch/stderr" >&2
      exit 1
    fi
    sleep 0.1
  done
}
has_name() {
  DBUS_SESSION_BUS_ADDRESS=$address dbus-send --session --print-reply --dest=org.freedesktop.DBus \
    /org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner string:com.orvikElectronics.tapwell 2>/dev/null |
    grep -q "boolean true"
}
ended() { ! kill -0 "$helper" 2>/dev/null; }

wait_for "the session bus did not start" test -s "$scratch/address"
address=$(head -1 "$scratch/address")

env HOME="$scratch" XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" \
  XDG_RUNTIME_DIR="$scratch/runtime" TMPDIR="$scratch" K3100_TWAIN_DS_DIR="$scratch/no-data-source" \
  DBUS_SESSION_BUS_ADDRESS="$address" QT_QPA_PLATFORM=offscreen "$tapwell" 2>"$scratch/stderr" &
helper=$!
wait_for "the helper never took its name on the bus" has_name
kill "$bus"
bus=
wait_for "the helper outlived its session bus" ended
helper=
