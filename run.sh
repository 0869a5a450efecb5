#!/usr/bin/env bash
# Builds Kiropad and starts it under Wine. Without a display it runs under Xvfb,
# waits for the main window, saves a screenshot and says where.
set -eu
cd "$(dirname "$0")"
scripts/setup.sh
# The shipped build is the 32-bit one; a kernel that runs no 32-bit programs gets
# the 64-bit build of the same sources.
preset=win32
if scripts/wine-run.sh --runs-32-bit; then
  echo "run.sh: starting the win32 build (build/win32/Kiropad.exe)"
else
  preset=win64
  echo "run.sh: this machine runs no 32-bit programs: starting the win64 build (build/win64/Kiropad.exe)"
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j2
exe=build/$preset/Kiropad.exe
if [ -n "${DISPLAY:-}" ]; then
  exec scripts/wine-run.sh "$exe"
fi
shot=build/screenshot.png
. scripts/xvfb.sh
XVFB_SCREEN=1024x768x24 start_xvfb
trap 'WINEPREFIX="${KIROPAD_WINEPREFIX:-$PWD/build/wine}" wineserver -k >/dev/null 2>&1; stop_xvfb' EXIT
scripts/wine-run.sh "$exe" &
app=$!
# The main window, not the application's hidden 1 x 1 window of the same title.
shown=""
for _ in $(seq 1 120); do
  for w in $(xdotool search --onlyvisible --name '^Kiropad$' 2>/dev/null); do
    xdotool getwindowgeometry "$w" | grep -q 'Geometry: 1x1' || shown=$w
  done
  [ -n "$shown" ] && break
  sleep 0.5
done
[ -n "$shown" ] || echo "run.sh: the window did not show within 60 s" >&2
sleep 1
import -window root "$shot"
echo "screenshot: $shot"
kill $app 2>/dev/null || true
