#!/usr/bin/env bash
# No program or library the build makes looks for libraries in the current folder (an empty RUNPATH
# entry) or relative to it, in the build tree or installed; and, installed into a staging folder, the
# programs and the data source find the project's libraries in that folder.
# usage: RunpathTest.sh BUILD_DIR
set -u
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0

# The ELF files among those find selects (its arguments), one per line.
elf_files() {
  find "$@" -print0 | while IFS= read -r -d '' file; do
    [ "$(head -c 4 "$file" | tr -d '\0')" = $'\x7fELF' ] && echo "$file"
  done
}

# Fails for each RPATH or RUNPATH entry of the file that is empty or relative.
check_runpath() {
  local file=$1 bad
  bad=$(readelf -d "$file" | sed -n 's/.*(\(RPATH\|RUNPATH\)).*: \[\(.*\)\]$/\2/p' |
    awk -F: '{ for (i = 1; i <= NF; i++) if ($i !~ /^(\/|\$ORIGIN(\/|$)|\$\{ORIGIN\}(\/|$))/) print "\"" $i "\"" }')
  if [ -n "$bad" ]; then
    echo "$file: library search path entries that name the current folder or lie relative to it: $bad" >&2
    failed=1
  fi
}

checked=0
while IFS= read -r file; do
  check_runpath "$file"
  checked=$((checked + 1))
# The linker makes its programs and libraries executable; the objects it reads are not.
done < <(elf_files "$build" -type f -perm -u+x)
[ "$checked" -gt 0 ] || { echo "no ELF file found in $build" >&2; exit 1; }

DESTDIR=$scratch cmake --install "$build" >"$scratch/install.log" 2>&1 || { cat "$scratch/install.log" >&2; exit 1; }
installed=0
while IFS= read -r file; do
  check_runpath "$file"
  installed=$((installed + 1))
  # Each of the project's libraries it needs comes from the staging folder.
  while read -r library arrow path _; do
    case $library in libk3100* | libPixen*) ;; *) continue ;; esac
    if [ "$arrow" != "=>" ] || [[ $path != "$scratch"/* ]]; then
      echo "$file: $library not found in the staging folder ($arrow $path)" >&2
      failed=1
    fi
  done < <(env -u LD_LIBRARY_PATH ldd "$file" 2>/dev/null)
done < <(elf_files "$scratch" -type f)
[ "$installed" -gt 0 ] || { echo "cmake --install put no ELF file into $scratch" >&2; exit 1; }

[ "$failed" -eq 0 ] && echo "$checked built and $installed installed ELF files checked"
exit "$failed"
