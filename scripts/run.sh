#!/usr/bin/env bash
# Runs KOVA.exe under Wine against the simulated controller on COM1.
#   scripts/run.sh [--model BRIO|VELA|VELA+] [--xvfb]
# Builds what is missing (the native kova-sim and the Windows KOVA.exe),
# serves kova-sim on a pseudo-terminal mapped to COM1 of the private Wine
# prefix, and runs KOVA.exe from build/ (so KOVA.INI lands there) on the
# user's display, or under Xvfb when there is none. The simulator stops
# when KOVA ends; its frame log is build/kova-sim.log.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. scripts/deps.sh
kova_install_deps

model=VELA
xvfb=auto
while [ $# -gt 0 ]; do
  case "$1" in
    --model) model=$2; shift 2 ;;
    --xvfb) xvfb=yes; shift ;;
    *) echo "usage: $0 [--model BRIO|VELA|VELA+] [--xvfb]" >&2; exit 2 ;;
  esac
done

jobs=${KOVA_JOBS:-2}
sim=build/native/sim/kova-sim
exe=build/windows/KOVA.exe

# Quiet builds; their output is shown when one fails.
quiet() {
  local out
  out=$(mktemp)
  if ! "$@" >"$out" 2>&1; then cat "$out" >&2; rm -f "$out"; exit 1; fi
  rm -f "$out"
}
echo "== building kova-sim (native) and KOVA.exe (windows)"
quiet cmake --preset native
quiet cmake --build --preset native --target kova-sim -j"$jobs"
quiet cmake --preset windows
quiet cmake --build --preset windows --target KOVA -j"$jobs"

kova_wine_env "$root" "$xvfb"
# The diagnostic dumps go to c:\temp, which a fresh prefix lacks.
mkdir -p "$WINEPREFIX/drive_c/temp"

fifo=$(mktemp -u)
mkfifo "$fifo"
"$sim" --model "$model" --log "$root/build/kova-sim.log" >"$fifo" &
sim_pid=$!
cleanup() {
  kill "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
  rm -f "$fifo"
  [ -n "${KOVA_XVFB_PID:-}" ] && kill "$KOVA_XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
exec 3<"$fifo"
read -r -t 10 pty <&3 || { echo "kova-sim did not start" >&2; exit 1; }
echo "== kova-sim ($model) on $pty = COM1"
kova_wine_map_com 1 "$pty"

cd "$root/build"
echo "== KOVA.exe on display $DISPLAY"
set +e
wine "$root/$exe"
rc=$?
set -e
wineserver -w 2>/dev/null || true
exit "$rc"
