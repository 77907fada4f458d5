#!/usr/bin/env bash
# Runs a Windows program under Wine while kova-sim serves a COM port.
#
# usage: with-sim.sh [--model M] [--com N] [--log FILE] [--sim-arg ARG]... \
#                    [--dead-com N]... [--silent-com N]... -- program args...
#
# Starts $KOVA_SIM (default: the native build's kova-sim), maps its pty to
# COMn of the current WINEPREFIX, restarts the wineserver so the mapping is
# seen, runs `wine program args...`, stops the simulator and exits with the
# program's code. --sim-arg passes one more option to kova-sim (a fault, for
# example --sim-arg --silent). --dead-com N points COMn at a device that does
# not exist, so nothing answers there; --silent-com N at a port that opens
# and never answers (a silent kova-sim). The simulator learns its port from
# KOVA_SIM_COM. Defaults: model VELA, COM1, no log.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# In a Wine slot of its own when ctest runs several tests at once: the
# prefix whose COM ports this script maps is then this test's alone.
if [ -z "${KOVA_WINE_SLOT:-}" ] && [ -n "${KOVA_WINE_SLOT_ROOT:-}" ]; then
  exec bash "$here/slot.sh" bash "$0" "$@"
fi
root=${KOVA_ROOT:-$(cd "$here/../.." && pwd)}
sim=${KOVA_SIM:-$root/build/native/sim/kova-sim}
model=VELA
com=1
log=
sim_args=()
dead=()
silent=()
silent_pids=()

usage() {
  sed -n '4,5p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

while [ $# -gt 0 ]; do
  case $1 in
    --model) [ $# -ge 2 ] || usage; model=$2; shift 2 ;;
    --com) [ $# -ge 2 ] || usage; com=$2; shift 2 ;;
    --log) [ $# -ge 2 ] || usage; log=$2; shift 2 ;;
    --sim-arg) [ $# -ge 2 ] || usage; sim_args+=("$2"); shift 2 ;;
    --dead-com) [ $# -ge 2 ] || usage; dead+=("$2"); shift 2 ;;
    --silent-com) [ $# -ge 2 ] || usage; silent+=("$2"); shift 2 ;;
    --) shift; break ;;
    *) usage ;;
  esac
done
[ $# -ge 1 ] || usage
case $com in ''|*[!0-9]*) echo "with-sim.sh: --com takes a number" >&2; exit 2 ;; esac

if [ ! -x "$sim" ]; then
  echo "with-sim.sh: no simulator at $sim (build the native preset or set KOVA_SIM)" >&2
  exit 1
fi

first_line=$(mktemp)
sim_pid=
cleanup() {
  for pid in $sim_pid "${silent_pids[@]}"; do
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  rm -f "$first_line"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Starts a simulator writing its first line to $2; its pid in $started.
start_sim() {
  "$1" "${@:3}" >"$2" &
  started=$!
}
# The pty the simulator $1 wrote to $2.
pty_of() {
  local pty=
  for _ in $(seq 200); do
    pty=$(head -n 1 "$2" 2>/dev/null)
    [ -n "$pty" ] && break
    if ! kill -0 "$1" 2>/dev/null; then
      echo "with-sim.sh: kova-sim ended before giving its pty" >&2
      return 1
    fi
    sleep 0.05
  done
  [ -n "$pty" ] || { echo "with-sim.sh: kova-sim gave no pty path" >&2; return 1; }
  echo "$pty"
}

cmd=(--model "$model")
[ -n "$log" ] && cmd+=(--log "$log")
cmd+=("${sim_args[@]}")
export KOVA_SIM_COM=$com
start_sim "$sim" "$first_line" "${cmd[@]}"
sim_pid=$started
pty=$(pty_of "$sim_pid" "$first_line") || exit 1
silent_ptys=()
for n in "${silent[@]}"; do
  line=$(mktemp)
  start_sim "${KOVA_REAL_SIM:-$sim}" "$line" --model "$model" --silent
  silent_pids+=("$started")
  silent_pty=$(pty_of "$started" "$line") || exit 1
  silent_ptys+=("$silent_pty")
  rm -f "$line"
done

# Only this run's ports: a mapping left by an earlier run (in the registry,
# or as the device link Wine made from it) may name a pty number the system
# has given to this run's simulator.
wine reg delete 'HKLM\Software\Wine\Ports' /f >/dev/null 2>&1
rm -f "${WINEPREFIX:-$HOME/.wine}"/dosdevices/com*
wine reg add 'HKLM\Software\Wine\Ports' /v "COM$com" /t REG_SZ /d "$pty" /f >/dev/null 2>&1
for n in "${dead[@]}"; do
  wine reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /t REG_SZ /d /dev/kova-no-such-port /f >/dev/null 2>&1
done
for i in "${!silent[@]}"; do
  wine reg add 'HKLM\Software\Wine\Ports' /v "COM${silent[$i]}" /t REG_SZ /d "${silent_ptys[$i]}" /f >/dev/null 2>&1
done
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
# A server started here, detached from our output, so that whoever reads
# this script's output is not kept waiting by a server lingering after the
# program.
wineserver </dev/null >/dev/null 2>&1

wine "$@"
rc=$?
exit $rc
