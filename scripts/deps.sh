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

# A private Wine prefix under the build folder and a display. Exports
# WINEPREFIX, WINEDEBUG and DISPLAY; starts Xvfb when asked or when there is
# no display. KOVA_XVFB_PID is set when this started one.
kova_wine_env() {
  local root=$1 want_xvfb=${2:-auto}
  export WINEPREFIX="$root/build/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ "$want_xvfb" = yes ] || [ -z "${DISPLAY:-}" ]; then
    local n=$(( 90 + RANDOM % 100 ))
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    KOVA_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
  # The regional settings of a Brazilian Windows, whatever this machine's
  # locale: the list separator and decimal symbol KOVA's recordings use.
  if ! grep -q '"sList"=";"' "$WINEPREFIX/user.reg" 2>/dev/null ||
     ! grep -q '"sDecimal"=","' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Control Panel\International' /v sList /t REG_SZ /d ';' /f >/dev/null 2>&1 || true
    wine reg add 'HKCU\Control Panel\International' /v sDecimal /t REG_SZ /d ',' /f >/dev/null 2>&1 || true
    wineserver -w || true
  fi
}

# Maps COMn of the private prefix to a pty path; the next Wine start sees it.
kova_wine_map_com() {
  local n=$1 path=$2
  wine reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /t REG_SZ /d "$path" /f >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}
