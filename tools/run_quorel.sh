#!/usr/bin/env bash
# Starts Quorel from dist/Quorel under Wine, beside Wine's notepad, in a Wine desktop on
# this display. With no display, it starts a virtual one, saves a screenshot to
# build/run/quorel.png and stops.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
package="$root/dist/Quorel"
run="$root/build/run"
mkdir -p "$run"
export WINEPREFIX="${QUOREL_WINEPREFIX:-$run/prefix}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

[ -x "$package/QuorelKeyboard.exe" ] || { echo "no package: run 'make package' first" >&2; exit 1; }
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Making a Wine prefix in $WINEPREFIX (once)..."
  wineboot -i >/dev/null 2>&1
  wineserver -w
  # The keyboard low on the screen, away from notepad.
  wine reg add 'HKCU\Software\Pelmarik Solutions\Quorel\Options' /v Y /t REG_DWORD /d 540 /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Pelmarik Solutions\Quorel\Options' /v X /t REG_DWORD /d 250 /f >/dev/null 2>&1
fi

headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  Xvfb :79 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY=:79
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi

desktop="Quorel,1024x768"
wine explorer "/desktop=$desktop" notepad.exe >/dev/null 2>&1 &
sleep 2
wine explorer "/desktop=$desktop" "$package/QuorelKeyboard.exe" >/dev/null 2>&1 &

if [ "$headless" = 1 ]; then
  sleep 6
  import -window root "$run/quorel.png"
  echo "No display: a screenshot of the keyboard is in $run/quorel.png"
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
else
  echo "Quorel runs in the Wine desktop window; click notepad, then type with the keyboard."
  echo "Close it with its x key; 'wineserver -k' ends everything."
  wait
fi
