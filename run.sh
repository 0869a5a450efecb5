#!/usr/bin/env bash
# Builds Kiropad and starts it under Wine. Without a display it runs under Xvfb,
# waits for the main window, saves a screenshot and says where.
set -eu
cd "$(dirname "$0")"
scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32
exe=build/win32/Kiropad.exe
if [ -n "${DISPLAY:-}" ]; then
  exec scripts/wine-run.sh "$exe"
fi
shot=build/screenshot.png
n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n"
trap 'WINEPREFIX="${KIROPAD_WINEPREFIX:-$PWD/build/wine}" wineserver -k >/dev/null 2>&1; kill $xvfb 2>/dev/null' EXIT
sleep 0.5
scripts/wine-run.sh "$exe" &
app=$!
for _ in $(seq 1 60); do
  if xdotool search --name '^Kiropad' >/dev/null 2>&1; then break; fi
  sleep 0.5
done
sleep 2
import -window root "$shot"
echo "screenshot: $shot"
kill $app 2>/dev/null || true
