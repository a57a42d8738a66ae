#!/usr/bin/env bash
# Every program answers --help and --version and leaves at once, starting nothing: no window, no bus
# name, no settings or login item in a fresh configuration folder.
# usage: InfoOptionsTest.sh VERSION PROGRAM...
set -u
version=$1
shift
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
for program in "$@"; do
  name=$(basename "$program")
  for option in --help --version; do
    # A program that starts instead of answering is ended by the time-out and fails.
    out=$(env XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" TMPDIR="$scratch" \
      QT_QPA_PLATFORM=offscreen timeout 20 "$program" "$option" 2>"$scratch/stderr")
    status=$?
    if [ "$status" -ne 0 ]; then
      echo "$name $option: exit status $status: $(cat "$scratch/stderr")" >&2
      failed=1
    elif [ "$option" = --version ] && [ "$out" != "$name $version" ]; then
      echo "$name --version printed '$out', not '$name $version'" >&2
      failed=1
    elif [ "$option" = --help ] && [[ "$out" != "usage: $name"* ]]; then
      echo "$name --help printed no usage: '$out'" >&2
      failed=1
    fi
  done
done
if [ -n "$(ls -A "$scratch/config" "$scratch/data" 2>/dev/null)" ]; then
  echo "the programs left files behind: $(find "$scratch/config" "$scratch/data")" >&2
  failed=1
fi
exit $failed
