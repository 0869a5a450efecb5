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
cmake --preset win32 >/dev/null && cmake --build --preset win32 >/dev/null || exit 1

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

# Under Wine: each program alternates A and B itself and prints "A ms" / "B ms".
wine_figure() { # wine_figure <figure> <target> <program> [args]
  local figure=$1 target=$2 prog=$3
  shift 3
  (cd build/win32/bench && "$repo/scripts/wine-run.sh" "$prog" "$@") 2>/dev/null |
    awk -v f="$figure" -v t="$target" '$1 == "A" || $1 == "B" { printf "%s\t%s\t%s\tWine\t%s\n", f, $1, $2, t }' >>"$samples"
}
export KIROPAD_WINEPREFIX="${KIROPAD_WINEPREFIX:-$repo/build/wine}"
wine_figure "save (Wine)" 1.5 bench_save.exe $runs

{
  echo "# Benchmark results"
  echo
  echo "Made by \`bench/run.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC'); $(nproc) cores, $(free -g | awk '/Mem:/ {print $2}') GiB,"
  echo "$(uname -sr), $(wine --version 2>/dev/null). Each figure: A and B measured side by side in one run,"
  echo "alternating, $runs runs each; the ratio is of the medians."
  echo
  python3 bench/summarise.py <"$samples"
} >"$out"
cat "$out"
