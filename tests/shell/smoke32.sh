#!/usr/bin/env bash
# The shipped 32-bit programs as a user meets them, driven from the X side with
# real keys: Kiropad.exe starts, opens and closes every dialog (each one loads a
# library that the start leaves for later), closes and saves; Kirostart.exe starts
# it once more. Natively where the kernel runs 32-bit programs, else under
# user-mode emulation (slow: about a minute of processor time per process start).
#   tests/shell/smoke32.sh [build folder, default build/win32]
# Last line: "N passed, M failed".
set -u
repo="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$repo/build/win32}"
CHECK_VERBOSE=1
. "$repo/tests/shell/checks.sh"
. "$repo/scripts/xvfb.sh"

for exe in Kiropad.exe Kirostart.exe; do
  [ -f "$build/$exe" ] || { echo "FAIL: $build/$exe is not built"; failed=1; finish; }
done

# Times in seconds; the emulated Wine is ten to twenty times slower.
mode=native
start_s=60
step_s=20
settle_s=0.5 # a dialog's window shows before it takes keys
if ! "$repo/scripts/wine-run.sh" --runs-32-bit; then
  mode=emulated
  start_s=600
  step_s=180
  settle_s=10
fi
echo "32-bit smoke: $mode"

# The emulated Wine runs in the project's prefix, whose 32-bit system folder only a
# 32-bit loader can fill. Made by the 64-bit loader on a kernel that runs no 32-bit
# programs, the prefix has none, and no 32-bit program can start in it at all.
if [ "$mode" = emulated ]; then
  prefix="${KIROPAD_WINEPREFIX:-$repo/build/wine}"
  "$repo/scripts/wine-run.sh" --init-prefix
  if [ ! -f "$prefix/drive_c/windows/syswow64/kernel32.dll" ]; then
    echo "32-bit smoke: not run: the Wine prefix has no 32-bit system folder (made where no 32-bit program runs)"
    finish
  fi
fi

start_xvfb

box="$repo/build/smoke32"
rm -rf "$box"
mkdir -p "$box"
cp "$build/Kiropad.exe" "$build/Kirostart.exe" "$box/"
[ -f "$build/Kiropad.chm" ] && cp "$build/Kiropad.chm" "$box/"

app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  stop_xvfb
}
trap cleanup EXIT

# The shown top-level windows whose title matches, one X window id a line.
windows() { xdotool search --onlyvisible --name "$1" 2>/dev/null; }
# wait_until <seconds> <command...>: true once the command succeeds.
wait_until() {
  local t=0 limit=$(($1 * 2))
  shift
  while [ "$t" -lt "$limit" ]; do
    "$@" && return 0
    sleep 0.5
    t=$((t + 1))
  done
  return 1
}
shows() { [ -n "$(windows "$1")" ]; }
gone() { [ -z "$(windows "$1")" ]; }
wait_for() { wait_until "$2" shows "$1"; }   # wait_for <title regex> <seconds>
wait_gone() { wait_until "$2" gone "$1"; }   # wait_gone <title regex> <seconds>
# The main window: the titled window larger than the application's hidden 1 x 1 one.
main_window() {
  local w
  for w in $(windows '^Kiropad$'); do
    xdotool getwindowgeometry "$w" 2>/dev/null | grep -q 'Geometry: 1x1' || { echo "$w"; return 0; }
  done
  return 1
}
has_main() { main_window >/dev/null; }
wait_main() { wait_until "$1" has_main; }
alive() { [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null && main_window >/dev/null; }
keys() { # keys <key>...: each pressed and released in turn, as typed
  local k
  for k in "$@"; do
    xdotool key --clearmodifiers "$k"
    sleep 0.3
  done
}
# A dialog opened by keys, seen, then cancelled with Escape (twice for one that
# opened another): the program is alive afterwards and the file unchanged.
dialog() { # dialog <name> <title regex> <keys...>
  local name=$1 title=$2
  shift 2
  keys "$@"
  check "$name: the dialog shows" wait_for "$title" "$step_s"
  sleep "$settle_s"
  keys Escape
  check "$name: it closes" wait_gone "$title" "$step_s"
  check "$name: Kiropad is alive" alive
  echo "smoke drove: $name"
}

"$repo/scripts/wine-run.sh" --32 "$box/Kiropad.exe" >"$box/kiropad.log" 2>&1 &
app_pid=$!
t0=$(date +%s)
check "Kiropad shows its window" wait_main "$start_s"
echo "window after $(($(date +%s) - t0)) s"
main_window >/dev/null || finish
# Written first, so that every cancelled dialog below can be seen to change nothing.
keys alt+m s
for _ in $(seq 1 $((step_s * 2))); do [ -f "$box/Kiropad.gbi" ] && break; sleep 0.5; done
check "the data file is written" test -f "$box/Kiropad.gbi"
cp "$box/Kiropad.gbi" "$box/before.gbi" 2>/dev/null

dialog "ヘルプ > バージョン情報" '^バージョン情報$' alt+h a
dialog "メイン > オプション" 'オプション$' alt+m o
dialog "ページ > 名前の変更" 'ページの名前の変更$' alt+p n
dialog "アイテム > 編集" 'アイテムの編集$' alt+i e
# The item edit dialog's first browse button: the open-file dialog of the common dialogs.
keys alt+i e
if wait_for 'アイテムの編集$' "$step_s"; then
  sleep "$settle_s"
  keys Tab space
  check "item edit > ...: the open-file dialog shows" wait_for '^ファイルの選択$' "$step_s"
  sleep "$settle_s"
  keys Escape
  check "item edit > ...: it closes" wait_gone '^ファイルの選択$' "$step_s"
  sleep "$settle_s"
  keys Escape
  check "item edit: it closes" wait_gone 'アイテムの編集$' "$step_s"
  echo "smoke drove: アイテム > 編集 > ... (open-file dialog)"
else
  check "item edit dialog for the browse button" false
fi
check "Kiropad is alive after the dialogs" alive
check "the cancelled dialogs left the data file as it was" cmp -s "$box/before.gbi" "$box/Kiropad.gbi"

sleep "$settle_s"
keys alt+m x
for _ in $(seq 1 $((step_s * 2))); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.5; done
wait "$app_pid" 2>/dev/null
rc=$?
app_pid=""
check "メイン > 終了 ends Kiropad with 0 (got $rc)" test "$rc" = 0
echo "smoke drove: メイン > 終了"

# Kirostart once: it ends at once, and the Kiropad beside it comes up.
"$repo/scripts/wine-run.sh" --32 "$box/Kirostart.exe" >"$box/kirostart.log" 2>&1
rc=$?
check "Kirostart ends with 0 (got $rc)" test "$rc" = 0
check "Kirostart started the Kiropad beside it" wait_main "$start_s"
if main_window >/dev/null; then
  keys alt+m x
  check "that Kiropad closes" wait_gone '^Kiropad$' "$step_s"
fi
echo "smoke drove: Kirostart"
finish
