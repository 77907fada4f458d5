#!/usr/bin/env bash
# A kova-sim that falls silent when the test asks: the end-to-end test
# creates the file named by KOVA_E2E_SILENCE and from then on the simulator
# answers nothing (it is stopped, its pty stays open), as a controller whose
# cable is pulled in the middle of a work cycle.
#
# Or that is unplugged and plugged back: when the test creates the file
# named by KOVA_E2E_REPLUG, a new simulator on a new pty takes the place of
# the old one behind the same COM port (the prefix's device link for
# COM$KOVA_SIM_COM names the new pty, as Wine reads it at every open), the
# old one ends with its pty, and the file "$KOVA_E2E_REPLUG.done" appears.
# The new simulator starts its frame log afresh.
#
# usage: silencing_sim.sh -- with-sim.sh args...
#   runs with-sim.sh with itself as the simulator (KOVA_SIM), remembering
#   the simulator to use in KOVA_REAL_SIM (the caller's KOVA_SIM, else the
#   native build's kova-sim);
# as KOVA_SIM: silencing_sim.sh kova-sim args...
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)

if [ "${1:-}" = "--" ]; then
  shift
  export KOVA_REAL_SIM=${KOVA_REAL_SIM:-${KOVA_SIM:-$root/build/native/sim/kova-sim}}
  export KOVA_SIM="$here/silencing_sim.sh"
  exec bash "$@"
fi

real=${KOVA_REAL_SIM:?KOVA_REAL_SIM names the simulator}
# Only a request of this run counts: a file left by an earlier run would
# stop the simulator before it gives its pty.
[ -n "${KOVA_E2E_SILENCE:-}" ] && rm -f "$KOVA_E2E_SILENCE"
[ -n "${KOVA_E2E_REPLUG:-}" ] && rm -f "$KOVA_E2E_REPLUG" "$KOVA_E2E_REPLUG.done"
"$real" "$@" &
pid=$!
stopped=
replugged=
replug() {
  local line new pty=
  line=$(mktemp)
  "$real" "$@" >"$line" &
  new=$!
  for _ in $(seq 100); do
    pty=$(head -n 1 "$line" 2>/dev/null)
    [ -n "$pty" ] && break
    sleep 0.05
  done
  rm -f "$line"
  ln -sfn "$pty" "${WINEPREFIX:-$HOME/.wine}/dosdevices/com${KOVA_SIM_COM:-1}"
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  pid=$new
  touch "$KOVA_E2E_REPLUG.done"
}
finish() {
  kill -CONT "$pid" 2>/dev/null
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
}
trap finish EXIT
trap 'exit 0' TERM INT
while kill -0 "$pid" 2>/dev/null; do
  if [ -z "$replugged" ] && [ -n "${KOVA_E2E_REPLUG:-}" ] && [ -e "$KOVA_E2E_REPLUG" ]; then
    replug "$@"
    replugged=1
  fi
  if [ -z "$stopped" ] && [ -n "${KOVA_E2E_SILENCE:-}" ] && [ -e "$KOVA_E2E_SILENCE" ]; then
    kill -STOP "$pid"
    stopped=1
  fi
  sleep 0.1
done
