#!/usr/bin/env bash
# Runs a command on a display of its own, of the given size, with Wine's
# screen resolution set to the given DPI (96 is 100 %, 120 is 125 %, 144 is
# 150 %), as on a workshop laptop; the prefix's setting is put back after.
#
# usage: small_screen.sh WIDTHxHEIGHT DPI -- command args...
set -u
[ $# -ge 4 ] && [ "$3" = "--" ] || { sed -n '6p' "$0" | sed 's/^# //' >&2; exit 2; }
size=$1 dpi=$2
shift 3

n=$(( 200 + RANDOM % 100 ))
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

desktop='HKCU\Control Panel\Desktop'
# Wine's reg answers in CRLF lines.
old=$(wine reg query "$desktop" /v LogPixels 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_DWORD *//p')
restore() {
  kill "$xvfb" 2>/dev/null
  if [ -n "$old" ]; then
    wine reg add "$desktop" /v LogPixels /t REG_DWORD /d "$((old))" /f >/dev/null 2>&1
  else
    wine reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1
  fi
  wineserver -k >/dev/null 2>&1
}
trap restore EXIT
wine reg add "$desktop" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1

DISPLAY=":$n" "$@"
