#!/usr/bin/env bash
# Takes the pictures of the main window in docs/ at 96, 120, 144 and 192 DPI: for each,
# the system DPI is set in the Wine prefix (read at each process start), the end-to-end
# test that draws the window with its pages and items runs, and the screen is taken
# while the window shows, then cut to the window. The dialogs that the menu bar opens
# are kept at every DPI too, in build/pictures/<dpi>/ (not in docs/).
#   scripts/pictures.sh [preset]   (default win64; the e2e tests must be built)
set -eu
repo="$(cd "$(dirname "$0")/.." && pwd)"
preset="${1:-win64}"
export WINEPREFIX="${KIROPAD_WINEPREFIX:-$repo/build/wine}"
. "$repo/scripts/xvfb.sh"
trap stop_xvfb EXIT
XVFB_SCREEN="${XVFB_SCREEN:-1600x1200x24}"
start_xvfb
tests="$repo/build/$preset/tests"
for dpi in 96 120 144 192; do
  "$repo/scripts/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  (cd "$tests" && "$repo/scripts/wine-run.sh" e2e_tests.exe \
      --gtest_filter=E2eLaunch.TheWindowIsDrawnWithItsPagesAndItemsAndKeptAsAPicture >/dev/null 2>&1) &
  runner=$!
  id=""
  for _ in $(seq 1 150); do
    id=$(xwininfo -root -tree 2>/dev/null | grep -a '"Kiropad"' | grep -v '1x1' | awk '{print $1}' | head -1)
    [ -n "$id" ] && break
    sleep 0.2
  done
  sleep 1.5 # the icons come in the background
  if [ -n "$id" ]; then
    geometry=$(xwininfo -id "$id" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
      /Width:/{w=$2} /Height:/{h=$2} END{printf "%dx%d+%d+%d", w, h, x, y}')
    import -window root "$repo/build/screen-$dpi.png"
    convert "$repo/build/screen-$dpi.png" -crop "$geometry" +repage "$repo/docs/kiropad-$dpi-dpi.png"
    echo "docs/kiropad-$dpi-dpi.png: $geometry"
  else
    echo "no window at $dpi DPI" >&2
  fi
  wait "$runner" || true
  out="$repo/build/pictures/$dpi"
  rm -rf "$out" && mkdir -p "$out"
  (cd "$tests" && KIROPAD_E2E_PICTURES="Z:$(echo "$out" | tr / '\\')" "$repo/scripts/wine-run.sh" e2e_tests.exe \
      --gtest_filter='E2eDialogs.EveryCommandOfTheMenuBar' >"$out/e2e.log" 2>&1) || echo "dialogs at $dpi DPI: see $out/e2e.log" >&2
  for bmp in "$out"/*.bmp; do [ -f "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"; done
done
"$repo/scripts/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null
