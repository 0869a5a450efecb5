#!/usr/bin/env bash
# Installs what is missing, builds every preset, runs every test suite and
# prints one closing line "N passed, M failed". Exits non-zero on any failure.
#   FUZZ_SECONDS=60   time for each fuzz target (0 skips them)
#   SKIP_WIN64=1      skip the x86_64 build
set -u
cd "$(dirname "$0")"
repo=$(pwd)
logs=build/logs
fuzz_seconds=${FUZZ_SECONDS:-60}

scripts/setup.sh || { echo "setup failed"; echo "0 passed, 1 failed"; exit 1; }
mkdir -p "$logs"

passed=0
failed=0
fail() { echo "FAILED: $*"; failed=$((failed + 1)); }

build() {
  local preset=$1
  echo "== build $preset"
  if ! { cmake --preset "$preset" >"$logs/configure-$preset.log" 2>&1 &&
         cmake --build --preset "$preset" >"$logs/build-$preset.log" 2>&1; }; then
    tail -n 40 "$logs/configure-$preset.log" "$logs/build-$preset.log"
    fail "build $preset"
    return 1
  fi
}

# Adds a GoogleTest run's counts from its log; a run that ended without its summary failed.
count_gtest() {
  local name=$1 log=$2 rc=$3 p f
  p=$(grep -E '^\[  PASSED  \] [0-9]+ test' "$log" | tail -n 1 | sed -E 's/.*\] ([0-9]+) test.*/\1/')
  f=$(grep -E '^\[  FAILED  \] [0-9]+ test' "$log" | tail -n 1 | sed -E 's/.*\] ([0-9]+) test.*/\1/')
  p=${p:-0}
  f=${f:-0}
  if [ "$rc" != 0 ] && [ "$f" = 0 ]; then f=1; fi
  passed=$((passed + p))
  failed=$((failed + f))
  echo "   $name: $p passed, $f failed"
  if [ "$f" != 0 ]; then
    grep -E '^\[  FAILED  \]|Failure|error:|ERROR|Sanitizer' "$log" | head -n 40
  fi
}

# Adds the counts of a script that ends with its own "N passed, M failed" line.
count_summary() {
  local name=$1 log=$2 rc=$3 line p f
  line=$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1)
  p=$(echo "$line" | sed -E 's/^([0-9]+) passed.*/\1/')
  f=$(echo "$line" | sed -E 's/.* ([0-9]+) failed.*/\1/')
  p=${p:-0}; f=${f:-0}
  if [ "$rc" != 0 ] && [ "$f" = 0 ]; then f=1; fi
  passed=$((passed + p)); failed=$((failed + f))
  echo "   $name: $p passed, $f failed"
  [ "$f" != 0 ] && grep -E 'FAIL' "$log" | head -n 30
}

# One X server for every suite that shows windows.
. scripts/xvfb.sh
start_xvfb
export KIROPAD_WINEPREFIX="${KIROPAD_WINEPREFIX:-$repo/build/wine}"
cleanup() {
  WINEPREFIX="$KIROPAD_WINEPREFIX" wineserver -k >/dev/null 2>&1 || true
  stop_xvfb
}
trap cleanup EXIT

# Native: the portable code with AddressSanitizer and UBSan.
if build native; then
  echo "== native tests"
  ASAN_OPTIONS=detect_leaks=1 build/native/tests/native_tests >"$logs/native.log" 2>&1
  count_gtest native "$logs/native.log" $?
fi

# The Windows build whose programs run here: the i686 reference build, or the
# x86_64 one where the kernel runs no 32-bit programs (then Wine cannot either).
run_preset=win32
if ! scripts/wine-run.sh --runs-32-bit; then
  run_preset=win64
  echo "== this machine runs no 32-bit programs: the win64 build runs the Windows suites"
fi

# Windows: the product and the Win32 tests under Wine.
for preset in win32 win64; do
  [ "$preset" = win64 ] && [ "${SKIP_WIN64:-}" = 1 ] && [ "$run_preset" = win32 ] && continue
  if ! build "$preset"; then continue; fi
  if [ "$preset" = win32 ] && [ "$run_preset" != win32 ]; then
    echo "   win32: built; its tests run in the win64 build here"
    continue
  fi
  if [ -f "build/$preset/tests/win_tests.exe" ]; then
    echo "== $preset tests (Wine)"
    (cd "build/$preset/tests" && timeout 900 "$repo/scripts/wine-run.sh" win_tests.exe) >"$logs/$preset.log" 2>&1
    count_gtest "$preset" "$logs/$preset.log" $?
  fi
done

# The static runtime: the programs need no MinGW DLL.
for exe in build/win32/Kiropad.exe build/win32/Kirostart.exe; do
  [ -f "$exe" ] || continue
  if i686-w64-mingw32-objdump -p "$exe" | grep -i 'DLL Name' | grep -qiE 'libgcc|libstdc|libwinpthread'; then
    fail "$exe depends on a MinGW DLL"
  else
    passed=$((passed + 1))
  fi
done

# A start loads only the DLLs it uses: the common dialogs, COM, the input method
# of dialogs and the accessibility library load at their first call (both widths).
for exe in build/win32/Kiropad.exe build/win64/Kiropad.exe; do
  [ -f "$exe" ] || continue
  loaded=$(x86_64-w64-mingw32-objdump -p "$exe" | grep 'DLL Name' | grep -iE 'comdlg32|ole32|imm32|oleacc')
  if [ -n "$loaded" ]; then
    fail "$exe loads at start what it needs later only: $loaded"
  else
    passed=$((passed + 1))
  fi
done

# Checks of the built programs and the release package at the shell level.
if [ -f build/win32/Kiropad.exe ]; then
  for check in tests/shell/*.sh; do
    [ -x "$check" ] || continue
    name=$(basename "$check" .sh)
    echo "== $name"
    args=()
    [ "$name" = kirostart_trace ] && args=("$repo/build/$run_preset")
    "$check" "${args[@]}" >"$logs/$name.log" 2>&1
    count_summary "$name" "$logs/$name.log" $?
    grep -a -E '^32-bit smoke: ' "$logs/$name.log" | sed 's/^/   /'
    smoked=$(grep -a '^smoke drove: ' "$logs/$name.log" | sed 's/^smoke drove: //' | paste -sd ';' | sed 's/;/; /g')
    [ -n "$smoked" ] && echo "   drove: $smoked"
  done
fi

# Fuzz targets, each for a bounded time.
if [ "$fuzz_seconds" != 0 ] && command -v clang++ >/dev/null; then
  if build fuzz; then
    for target in build/fuzz/tests/fuzz/fuzz_*; do
      [ -x "$target" ] || continue
      name=$(basename "$target")
      corpus="build/fuzz/corpus/$name"
      mkdir -p "$corpus" "build/fuzz/artifacts/$name"
      echo "== $name (${fuzz_seconds}s)"
      if "$target" -max_total_time="$fuzz_seconds" -max_len=4096 -artifact_prefix="build/fuzz/artifacts/$name/" "$corpus" "tests/fuzz/seeds/${name#fuzz_}" \
           >"$logs/$name.log" 2>&1; then
        passed=$((passed + 1))
        grep -E '^Done|#[0-9]+.*DONE' "$logs/$name.log" | tail -n 1
      else
        tail -n 30 "$logs/$name.log"
        fail "$name"
      fi
    done
  fi
fi

# End-to-end: the shipped programs as a user meets them, in every build whose
# programs run here; each run lists the dialogs and commands it drove.
for preset in win32 win64; do
  [ -f "build/$preset/tests/e2e_tests.exe" ] || continue
  [ "$preset" = win32 ] && [ "$run_preset" != win32 ] && continue
  [ "$preset" = win64 ] && [ "${SKIP_WIN64:-}" = 1 ] && [ "$run_preset" = win32 ] && continue
  echo "== end-to-end $preset (Wine)"
  (cd "build/$preset/tests" && timeout 1200 "$repo/scripts/wine-run.sh" e2e_tests.exe) >"$logs/e2e-$preset.log" 2>&1
  count_gtest "e2e $preset" "$logs/e2e-$preset.log" $?
  drove=$(grep -a '^e2e drove: ' "$logs/e2e-$preset.log" | tr -d '\r' | sed 's/^e2e drove: //' | sort -u)
  echo "   drove in $preset ($(echo "$drove" | grep -c .)): $(echo "$drove" | paste -sd ';' | sed 's/;/; /g')"
done
# The suite's picture of the window, as the user's guide shows it.
if [ -f build/e2e/kiropad.bmp ] && command -v convert >/dev/null; then
  convert build/e2e/kiropad.bmp build/e2e/kiropad.png && echo "   picture: build/e2e/kiropad.png"
fi

# The benchmarks still run (one short run of each; the figures are bench/run.sh's).
if [ "${SKIP_BENCH:-}" != 1 ]; then
  echo "== benchmarks (quick)"
  if timeout 900 bench/run.sh --quick >"$logs/bench.log" 2>&1; then
    passed=$((passed + 1))
  else
    tail -n 20 "$logs/bench.log"
    fail "bench/run.sh --quick"
  fi
fi

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
