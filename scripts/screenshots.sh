#!/usr/bin/env bash
# Takes the README's screenshots from the end-to-end runs under Wine: each
# run stops at every screen it names (Shot() in the tests), this script
# captures the window in front and lets the run go on. Output:
# docs/screens/<name>.png. Needs the windows and native builds (test.sh).
#   scripts/screenshots.sh [REGEX]   only the runs whose ctest names match
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. scripts/deps.sh
kova_install_deps
kova_wine_env "$root" yes
trap '[ -n "${KOVA_XVFB_PID:-}" ] && kill $KOVA_XVFB_PID 2>/dev/null; wineserver -k 2>/dev/null || true' EXIT
export KOVA_SIM="$root/build/native/sim/kova-sim" KOVA_ROOT="$root"
shots="$root/build/shots"
rm -rf "$shots"
out="$root/docs/screens"
mkdir -p "$shots" "$out"
export KOVA_E2E_SHOTS="$shots"

# Captures every window a run is waiting on, until the run ends.
watch_shots() {
  while kill -0 "$1" 2>/dev/null; do
    for ready in "$shots"/*.ready; do
      [ -e "$ready" ] || continue
      name=$(basename "$ready" .ready)
      read -r w h x y <"$ready" || true
      if [ -n "${w:-}" ] && [ "$w" -gt 0 ]; then
        if import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/$name.png"; then
          echo "  $name.png (${w}x${h})"
        else
          echo "  $name.png: not taken" >&2
        fi
      fi
      rm -f "$ready"
      touch "$shots/$name.done"
    done
    sleep 0.2
  done
}

cd build/windows
ctest -R "${1:-^(kova_e2e|kova_e2e_silent|data_screens_vela|data_screens_brio|apply_file|cycle_.*|monitor_e2e|report_e2e|languages)\$}" \
  --output-on-failure &
run=$!
watch_shots "$run"
wait "$run"
