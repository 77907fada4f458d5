#!/usr/bin/env bash
# Runs one Windows-side test in a Wine slot of its own, so that ctest can run
# several at once: each slot is a Wine prefix with its own wineserver, COM
# ports and c:\ drive, and an X display of its own, made ready by
# scripts/test.sh (kova_wine_slots in scripts/deps.sh) under
# $KOVA_WINE_SLOT_ROOT/<n>/ as `prefix/` and a file `display`.
#
# usage: slot.sh program args...
#
# Takes the first free slot (a lock held by this script, not by the
# program, so that a Wine process lingering after the test does not keep
# the slot), exports WINEPREFIX, DISPLAY and KOVA_WINE_SLOT for the
# program, starts the slot's wineserver detached from the test's output
# (ctest would wait for a lingering server otherwise) and exits with the
# program's code. Without KOVA_WINE_SLOT_ROOT, or inside a slot already,
# the program runs in the caller's Wine environment as it is.
set -u

if [ -n "${KOVA_WINE_SLOT:-}" ] || [ -z "${KOVA_WINE_SLOT_ROOT:-}" ]; then
  exec "$@"
fi

slot=
claim() {
  local dir
  for dir in "$KOVA_WINE_SLOT_ROOT"/*/; do
    dir=${dir%/}
    [ -f "$dir/display" ] || continue
    exec 9>"$dir/lock"
    if flock -n 9; then
      slot=$dir
      return 0
    fi
    exec 9>&-
  done
  return 1
}
# ctest starts no more tests than there are slots; a slot is busy a moment
# longer only while the test before it finishes.
for _ in $(seq 600); do
  claim && break
  sleep 0.2
done
if [ -z "$slot" ]; then
  echo "slot.sh: no free Wine slot under $KOVA_WINE_SLOT_ROOT" >&2
  exit 1
fi

export KOVA_WINE_SLOT=$slot
export WINEPREFIX="$slot/prefix"
DISPLAY=$(cat "$slot/display")
export DISPLAY
export WINEDEBUG=${WINEDEBUG:--all}
wineserver 9>&- </dev/null >/dev/null 2>&1

"$@" 9>&-
