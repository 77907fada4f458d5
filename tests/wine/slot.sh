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
# 0: a slot is ours (fd 9 holds its lock); 1: all are busy; 2: there are none.
claim() {
  local dir any=2
  for dir in "$KOVA_WINE_SLOT_ROOT"/*/; do
    dir=${dir%/}
    [ -f "$dir/display" ] || continue
    any=1
    exec 9>"$dir/lock"
    if flock -n 9; then
      slot=$dir
      return 0
    fi
    exec 9>&-
  done
  return $any
}
# ctest starts no more tests than there are slots, so a slot is busy only a
# moment longer, while the test before it ends; a ctest run with more jobs
# than slots waits here, within its tests' time-outs.
while :; do
  rc=0
  claim || rc=$?
  [ "$rc" -eq 0 ] && break
  if [ "$rc" -eq 2 ]; then
    echo "slot.sh: no Wine slot under $KOVA_WINE_SLOT_ROOT (scripts/test.sh makes them)" >&2
    exit 1
  fi
  sleep 0.2
done

export KOVA_WINE_SLOT=$slot
export WINEPREFIX="$slot/prefix"
DISPLAY=$(cat "$slot/display")
export DISPLAY
export WINEDEBUG=${WINEDEBUG:--all}
wineserver 9>&- </dev/null >/dev/null 2>&1

"$@" 9>&-
