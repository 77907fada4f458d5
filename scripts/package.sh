#!/usr/bin/env bash
# Builds the installer: Instalador.exe carrying Desinstalar.exe and KOVA.exe,
# from the package description in package/. Output: build/KOVA-setup-<version>.exe,
# the version being KOVA.exe's own (its version resource).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. scripts/deps.sh
kova_install_deps
jobs=${KOVA_JOBS:-2}

cmake --preset native >/dev/null
cmake --build --preset native --target kova-pack -j"$jobs" >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows --target KOVA Instalador Desinstalar -j"$jobs" >/dev/null

# The staged tree holds only what is installed; kova-pack's report goes
# beside it, not into it.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
staging="$work/files"
mkdir "$staging"
cp build/windows/KOVA.exe "$staging/"
build/native/tools/kova-pack \
  --installer build/windows/Instalador/Instalador.exe \
  --uninstaller build/windows/Desinstalar/Desinstalar.exe \
  --description package/kova.pkg --files "$staging" \
  --version-from "$staging/KOVA.exe" \
  --output 'build/KOVA-setup-{version}.exe' >"$work/report"
cat "$work/report" >&2
sed -n 's/: [0-9]* directories.*//p' "$work/report"
