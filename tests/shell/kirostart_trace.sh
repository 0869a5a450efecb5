#!/usr/bin/env bash
# Reads Kirostart's one process start from a Wine relay trace. Wine starts every
# child at normal priority and shows a child with an empty command line its own
# quoted path, so the arguments of the call are the only place where the creation
# flags and the command line can be seen.
#   tests/shell/kirostart_trace.sh [build folder, default build/win32]
# Last line: "N passed, M failed".
set -u
repo="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$repo/build/win32}"
. "$repo/tests/shell/checks.sh"

if [ ! -f "$build/Kirostart.exe" ]; then
  echo "FAIL: $build/Kirostart.exe is not built"
  failed=1
  finish
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# A folder with a space and no Kiropad.exe: the start fails, so the trace holds
# Kirostart alone and stays short.
app="$scratch/kiro start"
mkdir -p "$app"
cp "$build/Kirostart.exe" "$app/"

# Only the calls of CreateProcessW are kept from the trace (tens of megabytes when
# the prefix's services start with it); the time is bounded.
calls="$scratch/calls.txt"
(cd "$scratch" && WINEDEBUG=+relay timeout 180 "$repo/scripts/wine-run.sh" "$app/Kirostart.exe" /extra "an argument" \
  2>&1 >/dev/null | grep -a 'Call KERNEL32.CreateProcessW(' >"$calls")
rc=${PIPESTATUS[0]}
check "Kirostart ends with 0 (got $rc)" test "$rc" = 0

# The Windows form of the expected path, as the trace prints it (backslashes doubled).
expected="Z:${app//\//\\\\}\\\\Kiropad.exe"
line=$(grep -aF "L\"$expected\"" "$calls" | head -n 1)
check "one start of the Kiropad.exe beside Kirostart ($expected)" test -n "$line"
if [ -z "$line" ]; then
  cat "$calls"
  finish
fi
check "exactly one such start" test "$(grep -acF "L\"$expected\"" "$calls")" = 1

# After the application name: command line, process and thread attributes,
# inheritance, creation flags, environment, current folder.
rest=${line#*"L\"$expected\","}
IFS=, read -r cmdline psa tsa inherit flags env cwd _ <<<"$rest"
check "an empty command line (got $cmdline)" test "${cmdline#* }" = 'L""'
# The trace prints each argument in hex, as wide as a pointer of the build.
value() { [[ "$1" =~ ^[0-9a-fA-F]+$ ]] && echo $((16#$1)) || echo "not a number: $1"; }
check "no security attributes (got $psa $tsa)" test "$(value "$psa") $(value "$tsa")" = "0 0"
check "no handle inheritance (got $inherit)" test "$(value "$inherit")" = 0
check "HIGH_PRIORITY_CLASS alone as creation flags (got $flags)" test "$(value "$flags")" = 128
check "the caller's environment and current folder (got $env $cwd)" test "$(value "$env") $(value "$cwd")" = "0 0"
finish
