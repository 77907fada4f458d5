#!/usr/bin/env bash
# Builds both presets and runs every suite: native ctest, and the
# Windows-side suites under Wine + Xvfb, several at once, each in a Wine
# slot of its own (tests/wine/slot.sh). Prints how long each stage took.
#
# KOVA_JOBS: compile jobs (2). KOVA_WINE_JOBS: Windows-side suites run at
# once, each with its own prefix and display (4: the walks mostly wait on
# the controller's pauses, so four share two cores).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# test.sh --build PRESET [TARGET]: one build (run by the steps below), its
# output shown whole once it ends, with its time.
if [ "${1:-}" = "--build" ]; then
  what="$2 build${3:+ ($3)}"
  s=$SECONDS
  rc=0
  # Under make's job server the server sets the pace; alone, KOVA_JOBS does.
  par=()
  [ -n "${MAKEFLAGS:-}" ] || par=(-j "${KOVA_JOBS:-2}")
  cmake --build "build/$2" "${par[@]}" ${3:+--target "$3"} >"build/$2-build.log" 2>&1 || rc=$?
  echo "== $what: $((SECONDS - s)) s"
  cat "build/$2-build.log"
  echo "$what $((SECONDS - s))" >>build/build-times
  exit $rc
fi

. scripts/deps.sh

jobs=${KOVA_JOBS:-2}
wine_jobs=${KOVA_WINE_JOBS:-4}

# Stage times, printed as they end and again at the close.
started=$SECONDS
stage_start=$SECONDS
stage_name=
times=()
stage() {
  if [ -n "$stage_name" ]; then
    times+=("$(printf '%-28s %4ds' "$stage_name" $((SECONDS - stage_start)))")
    echo "-- $stage_name: $((SECONDS - stage_start)) s"
  fi
  stage_name=$1
  stage_start=$SECONDS
  [ -n "$1" ] && echo "== $1"
  return 0
}

stage "packages"
kova_install_deps

slots="$root/build/wine"
mkdir -p "$slots"
cleanup() {
  [ -n "${prep_pid:-}" ] && kill "$prep_pid" 2>/dev/null
  [ -n "${native_pid:-}" ] && kill "$native_pid" 2>/dev/null
  wait 2>/dev/null
  kova_wine_slots_stop "$slots"
}
trap cleanup EXIT
# The Wine prefix and the displays are made while the programs build.
(
  s=$SECONDS
  kova_wine_slots "$slots" "$wine_jobs" >"$slots/prepare.log" 2>&1 || exit 1
  echo "Wine slots ready $((SECONDS - s))" >"$slots/prepare.time"
) &
prep_pid=$!

stage "configure"
cmake --preset native >/dev/null
cmake --preset windows >/dev/null

# The Windows programs and the simulator first, under one make job server
# (one build's serial steps leave the cores to the other's compiles).
stage "windows build and kova-sim"
rm -f build/build-times
build_rc=0
printf '.PHONY: all w n\nall: w n\nw:\n\t+@bash %s --build windows\nn:\n\t+@bash %s --build native kova-sim\n' "$0" "$0" |
  make -s -j"$jobs" -f - all || build_rc=$?
[ "$build_rc" -eq 0 ] || { echo "build failed" >&2; exit 1; }

# The Windows-side suites mostly wait on the controller's pauses: the rest
# of the native build and the native suites run meanwhile, behind them in
# the scheduler's eyes so that the walks keep their pace. Their output is
# shown when the Wine suites end.
stage "Wine tests with the native build and tests"
native_log="$root/build/native-tests.log"
(
  nice -n 10 bash "$0" --build native || exit 1
  s=$SECONDS
  rc=0
  nice -n 10 ctest --preset native -j"$jobs" >"$native_log" 2>&1 || rc=$?
  echo "native tests $((SECONDS - s))" >>build/build-times
  exit $rc
) >build/native.log 2>&1 &
native_pid=$!

wait "$prep_pid" || { cat "$slots/prepare.log" >&2; echo "no Wine slots" >&2; exit 1; }
prep_pid=
cat "$slots/prepare.time" >>build/build-times
kova_wine_quiet
export KOVA_WINE_SLOT_ROOT="$slots"
export KOVA_SIM="$root/build/native/sim/kova-sim"
export KOVA_ROOT="$root"
wine_log="$root/build/wine-tests.log"
echo "== windows tests (Wine, $wine_jobs at once)"
set +e
s=$SECONDS
ctest --preset windows -j"$wine_jobs" 2>&1 | tee "$wine_log"
wine_rc=${PIPESTATUS[0]}
echo "Wine tests $((SECONDS - s))" >>build/build-times
wait "$native_pid"
native_rc=$?
native_pid=
set -e
cat build/native.log
echo "== native tests"
cat "$native_log" 2>/dev/null
stage ""
while read -r line; do
  times+=("$(printf '  %-26s %4ds' "${line% *}" "${line##* }")")
done <build/build-times

# One closing line over both runs, from ctest's own counts.
count() { sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p' "$1" | tail -1; }
read -r nf nt <<<"$(count "$native_log")"
read -r wf wt <<<"$(count "$wine_log")"
nf=${nf:-0}; nt=${nt:-0}; wf=${wf:-0}; wt=${wt:-0}
failed=$((nf + wf)); total=$((nt + wt))
# A native build that failed ran no native suite: it counts as a failure.
if [ "$native_rc" -ne 0 ] && [ "$nt" -eq 0 ]; then
  echo "native build failed"
  failed=$((failed + 1)); total=$((total + 1))
fi
echo "== times"
printf '%s\n' "${times[@]}"
printf '%-28s %4ds\n' "total" $((SECONDS - started))
echo "native: $((nt - nf)) of $nt passed; windows: $((wt - wf)) of $wt passed"
echo "$((total - failed)) passed, $failed failed"
[ "$native_rc" -eq 0 ] && [ "$wine_rc" -eq 0 ]
