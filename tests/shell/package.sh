#!/usr/bin/env bash
# Makes the release zip of each configured Windows preset and checks what a user
# unpacks: one folder named after the version and the target, holding exactly the
# two programs, the help, the README and the licence, with programs that need no
# DLL of the MinGW runtime.
#   tests/shell/package.sh [preset...]   (default: win32, and win64 when configured)
# Last line: "N passed, M failed".
set -u
repo="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$repo"
. "$repo/tests/shell/checks.sh"

presets=("$@")
if [ ${#presets[@]} = 0 ]; then
  presets=(win32)
  [ "${SKIP_WIN64:-}" != 1 ] && [ -f build/win64/CMakeCache.txt ] && presets+=(win64)
fi

# The version as the top CMakeLists.txt declares it, major.minor.
version=$(sed -nE 's/^project\(Kiropad VERSION ([0-9]+)\.([0-9]+).*/\1.\2/p' CMakeLists.txt)
check "a version in CMakeLists.txt" test -n "$version"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

for preset in "${presets[@]}"; do
  name="Kiropad-$version-$preset"
  zip="build/$preset/$name.zip"
  rm -f "$zip"
  cmake --build --preset "$preset" --target package >"$scratch/$preset.log" 2>&1
  rc=$?
  check "$preset: the package target succeeds" test "$rc" = 0
  [ "$rc" = 0 ] || tail -n 20 "$scratch/$preset.log"
  check "$preset: $zip is made" test -f "$zip"
  [ -f "$zip" ] || continue

  mkdir -p "$scratch/$preset"
  check "$preset: the zip unpacks" unzip -q "$zip" -d "$scratch/$preset"
  check "$preset: one folder $name" test "$(ls "$scratch/$preset")" = "$name"
  listing=$(cd "$scratch/$preset/$name" 2>/dev/null && ls -A | sort | tr '\n' ' ')
  check "$preset: the release files and nothing else (got $listing)" \
    test "$listing" = "Kiropad.chm Kiropad.exe Kirostart.exe LICENSE README.md "
  check "$preset: the MIT licence of the Kiropad developers" \
    grep -q 'Copyright (c) [0-9]* Kiropad developers' "$scratch/$preset/$name/LICENSE"

  objdump=i686-w64-mingw32-objdump
  [ "$preset" = win64 ] && objdump=x86_64-w64-mingw32-objdump
  for exe in Kiropad.exe Kirostart.exe; do
    dlls=$("$objdump" -p "$scratch/$preset/$name/$exe" 2>/dev/null | sed -nE 's/.*DLL Name: (.*)/\1/p' | tr '\n' ' ')
    check "$preset: $exe is a Windows program" test -n "$dlls"
    check "$preset: $exe needs no MinGW DLL (needs $dlls)" \
      sh -c '! printf "%s\n" $1 | grep -qiE "^lib.*\.dll$"' _ "$dlls"
  done
done

finish
