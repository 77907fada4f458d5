#!/usr/bin/env bash
# Installs what the build and the tests need, when it is missing.
# Sourced by test.sh and run.sh.
set -euo pipefail

KOVA_PACKAGES="cmake g++ make clang libgtest-dev libbenchmark-dev zlib1g-dev \
g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest wine64 xvfb \
x11-utils imagemagick fonts-dejavu-core"

kova_missing_packages() {
  local missing=()
  for p in $KOVA_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  echo "${missing[@]:-}"
}

kova_install_deps() {
  local missing
  missing=$(kova_missing_packages)
  command -v python3 >/dev/null 2>&1 || missing="$missing python3"
  [ -z "${missing// /}" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: $missing" >&2
    echo "Install them with:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y $missing" >&2
    exit 1
  fi
  echo "== installing: $missing"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null
}

# Starts Xvfb on a display number it finds free itself (another run on the
# machine may be choosing one at the same moment) and prints ":n pid".
kova_start_xvfb() {
  local fifo n
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  local pid=$!
  read -r -t 20 n <"$fifo" || n=
  rm -f "$fifo"
  [ -n "$n" ] || { kill "$pid" 2>/dev/null; echo "Xvfb did not start" >&2; return 1; }
  echo ":$n $pid"
}

kova_wine_quiet() {
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
}

# Makes a new Wine prefix in $1 unless there is one.
kova_wine_prefix() {
  if [ ! -f "$1/system.reg" ]; then
    mkdir -p "$1"
    WINEPREFIX=$1 wineboot -i >/dev/null 2>&1 || true
    WINEPREFIX=$1 wineserver -w || true
    [ -f "$1/system.reg" ] || { echo "wineboot made no prefix in $1" >&2; return 1; }
  fi
  # The regional settings of a Brazilian Windows, whatever this machine's
  # locale: the list separator and decimal symbol KOVA's recordings use.
  if ! grep -q '"sList"=";"' "$1/user.reg" 2>/dev/null ||
     ! grep -q '"sDecimal"=","' "$1/user.reg" 2>/dev/null; then
    WINEPREFIX=$1 wine reg add 'HKCU\Control Panel\International' /v sList /t REG_SZ /d ';' /f >/dev/null 2>&1 || true
    WINEPREFIX=$1 wine reg add 'HKCU\Control Panel\International' /v sDecimal /t REG_SZ /d ',' /f >/dev/null 2>&1 || true
    WINEPREFIX=$1 wineserver -w || true
  fi
}

# A private Wine prefix under the build folder and a display. Exports
# WINEPREFIX, WINEDEBUG and DISPLAY; starts Xvfb when asked or when there is
# no display. KOVA_XVFB_PID is set when this started one.
kova_wine_env() {
  local root=$1 want_xvfb=${2:-auto}
  export WINEPREFIX="$root/build/wineprefix"
  kova_wine_quiet
  if [ "$want_xvfb" = yes ] || [ -z "${DISPLAY:-}" ]; then
    local started
    started=$(kova_start_xvfb) || exit 1
    export DISPLAY=${started% *}
    KOVA_XVFB_PID=${started#* }
  fi
  kova_wine_prefix "$WINEPREFIX"
}

# The Wine slots of the Windows-side tests (tests/wine/slot.sh): under
# $1/<i> for i = 1..$2, a copy of one freshly made prefix (copying takes a
# second where wineboot takes ten) and an Xvfb display of its own. Each
# slot's Xvfb pid is in its xvfb.pid; kova_wine_slots_stop ends them.
kova_wine_slots() {
  local base=$1 n=$2 i started
  kova_wine_quiet
  kova_wine_prefix "$base/template" || return 1
  for i in $(seq 1 "$n"); do
    rm -rf "${base:?}/$i"
    mkdir -p "$base/$i"
    cp -a "$base/template" "$base/$i/prefix"
    started=$(kova_start_xvfb) || return 1
    echo "${started#* }" >"$base/$i/xvfb.pid"
    echo "${started% *}" >"$base/$i/display"
  done
}

kova_wine_slots_stop() {
  local dir
  for dir in "$1"/*/; do
    [ -f "$dir/display" ] || continue
    WINEPREFIX="$dir/prefix" wineserver -k 2>/dev/null || true
    [ -f "$dir/xvfb.pid" ] && kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
    rm -f "$dir/display" "$dir/xvfb.pid"
  done
}

# Maps COMn of the private prefix to a pty path; the next Wine start sees it.
kova_wine_map_com() {
  local n=$1 path=$2
  wine reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /t REG_SZ /d "$path" /f >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}
