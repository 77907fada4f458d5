#!/usr/bin/env bash
# Runs a command with the Wine prefix's display scaling set, then sets it
# back to 100 %.
#
# usage: scaled.sh LOGPIXELS -- command args...
# LOGPIXELS: 96 (100 %), 120 (125 %), 144 (150 %). The command (with-sim.sh,
# which restarts the wineserver) starts its programs with that scaling;
# KOVA_E2E_LOGPIXELS tells them what it is.
set -u
dpi=$1
shift
[ "${1:-}" = "--" ] && shift
key='HKCU\Control Panel\Desktop'
restore() {
  wine reg add "$key" /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
}
trap restore EXIT
wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
KOVA_E2E_LOGPIXELS=$dpi "$@"
