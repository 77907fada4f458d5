#!/usr/bin/env bash
# Builds both presets and runs every suite: native ctest, then the
# Windows-side suites under Wine + Xvfb in a private prefix.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. scripts/deps.sh
kova_install_deps

jobs=${KOVA_JOBS:-2}

echo "== native build"
cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs"

echo "== native tests"
native_log=$(mktemp)
set +e
ctest --preset native -j"$jobs" 2>&1 | tee "$native_log"
native_rc=${PIPESTATUS[0]}
set -e

echo "== windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs"

echo "== windows tests (Wine)"
kova_wine_env "$root" yes
trap '[ -n "${KOVA_XVFB_PID:-}" ] && kill $KOVA_XVFB_PID 2>/dev/null; wineserver -k 2>/dev/null || true' EXIT
export KOVA_SIM="$root/build/native/sim/kova-sim"
export KOVA_ROOT="$root"
wine_log=$(mktemp)
set +e
ctest --preset windows 2>&1 | tee "$wine_log"
wine_rc=${PIPESTATUS[0]}
set -e

# One closing line over both runs, from ctest's own counts.
count() { sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p' "$1" | tail -1; }
read -r nf nt <<<"$(count "$native_log")"
read -r wf wt <<<"$(count "$wine_log")"
nf=${nf:-0}; nt=${nt:-0}; wf=${wf:-0}; wt=${wt:-0}
failed=$((nf + wf)); total=$((nt + wt))
echo "native: $((nt - nf)) of $nt passed; windows: $((wt - wf)) of $wt passed"
echo "$((total - failed)) passed, $failed failed"
[ "$native_rc" -eq 0 ] && [ "$wine_rc" -eq 0 ]
