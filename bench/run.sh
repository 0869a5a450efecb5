#!/usr/bin/env bash
# Runs every benchmark, A and B side by side, and writes bench/RESULTS.md.
#   bench/run.sh           7 runs of each side, alternating
#   bench/run.sh --quick   one short run of each, to check they still run
#                          (writes build/bench-quick.md instead)
set -u
cd "$(dirname "$0")/.."
repo=$(pwd)
quick=0
[ "${1:-}" = "--quick" ] && quick=1
runs=7
[ $quick = 1 ] && runs=1
out=bench/RESULTS.md
[ $quick = 1 ] && out=build/bench-quick.md
samples=$(mktemp)
trap 'rm -f "$samples" "$samples.json"' EXIT

scripts/setup.sh >/dev/null || exit 1
cmake --preset bench >/dev/null && cmake --build --preset bench --target bench_native >/dev/null || exit 1
# The i686 reference build, or the x86_64 one where no 32-bit program runs.
preset=win32
scripts/wine-run.sh --runs-32-bit || preset=win64
cmake --preset $preset >/dev/null &&
  cmake --build --preset $preset --target Kiropad bench_floor bench_start bench_stall bench_window bench_save >/dev/null || exit 1

# Native (Google Benchmark): repetitions interleaved at random between A and B.
reps=$runs
[ $quick = 1 ] && reps=1
min_time=0.5
[ $quick = 1 ] && min_time=0.01
build/bench/bench/bench_native --benchmark_enable_random_interleaving=true --benchmark_repetitions=$reps \
  --benchmark_min_time=$min_time --benchmark_format=json --benchmark_out="$samples.json" >/dev/null || exit 1
python3 - "$samples.json" >>"$samples" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
targets = {"load": 4, "save": 1.5}
for b in data["benchmarks"]:
    if b.get("run_type") != "iteration":
        continue
    figure, side = b["run_name"].split("/")[0], b["run_name"].split("/")[1][0]
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
    print(f"{figure} (native)\t{side}\t{b['real_time'] * scale}\tnative, Google Benchmark\t{targets[figure]}")
PY

# Under Wine: each program alternates A and B itself and prints "A ms" / "B ms", or
# "<key> A ms" / "<key> B ms" for programs that measure several figures.
export KIROPAD_WINEPREFIX="${KIROPAD_WINEPREFIX:-$repo/build/wine}"
notes=$(mktemp)
trap 'rm -f "$samples" "$samples.json" "$notes"' EXIT
wine_run() { # wine_run <program> [args]: its output, with anything else it says kept in $notes
  local prog=$1
  shift
  (cd build/$preset/bench && "$repo/scripts/wine-run.sh" "$prog" "$@") 2>>"$notes"
}
wine_figure() { # wine_figure <figure> <target> <program> [args]
  local figure=$1 target=$2 prog=$3
  shift 3
  wine_run "$prog" "$@" |
    awk -v f="$figure" -v t="$target" '$1 == "A" || $1 == "B" { printf "%s\t%s\t%s\tWine\t%s\n", f, $1, $2, t }' >>"$samples"
}
# wine_figures <program> <args> then "key|figure|target" for each figure it prints.
wine_figures() {
  local prog=$1 args=$2
  shift 2
  local output
  output=$(wine_run "$prog" $args)
  printf '%s\n' "$output" | grep -v -E '^[a-z]+ [ABV] ' >>"$notes"
  for entry in "$@"; do
    IFS='|' read -r key figure target <<<"$entry"
    printf '%s\n' "$output" |
      awk -v k="$key" -v f="$figure" -v t="$target" '$1 == k && ($2 == "A" || $2 == "B" || $2 == "V") { printf "%s\t%s\t%s\tWine\t%s\n", f, $2, $3, t }' >>"$samples"
  done
}
wine_figures bench_start.exe "$runs" "warm|warm start|1.5" "cold|cold icons|1.2"
wine_figures bench_stall.exe "$runs" "stall|stall (targets answering in 500 ms)|50" "shown|window shown (slow targets)|1.5"
wine_figure "save (Wine)" 1.5 bench_save.exe $runs
wine_figures bench_window.exe "$runs" "grid|big grid|3" "page|page switch|4"
wine_run bench_window.exe memory >>"$notes"

{
  echo "# Benchmark results"
  echo
  echo "Made by \`bench/run.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC'); $(nproc) cores, $(free -g | awk '/Mem:/ {print $2}') GiB,"
  echo "$(uname -sr), $(wine --version 2>/dev/null || /usr/lib/wine/wine64 --version 2>/dev/null); the Windows programs"
  echo "of the $preset build. Each figure: A and B measured side by side in one run,"
  echo "alternating, $runs runs each; the ratio is of the medians."
  echo
  python3 bench/summarise.py <"$samples"
  echo
  echo "Not ratios (Wine; 'user'/'gdi' are GetGuiResources, which Wine answers with 0;"
  echo "'ui_gdi'/'ui_windows' are the ui layer's own counts of live GDI objects and windows):"
  echo
  echo '```'
  grep -E '^(objects|memory|breakdown|bound|stall|[0-9]+ files)' "$notes"
  echo '```'
} >"$out"
cat "$out"
