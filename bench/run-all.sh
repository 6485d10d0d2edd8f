#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs every one of them, one after the
# other, and then the local server's load tool, so that all figures of
# bench/README.md come from one machine in one run. The output of each goes
# to build/bench/results/<name>.txt; the lines are also printed.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
cmake --preset bench >/dev/null
cmake --build --preset bench
results=build/bench/results
mkdir -p "$results"
{
  echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
  echo "date: $(date -u '+%Y-%m-%d %H:%M UTC')"
} | tee "$results/machine.txt"
for program in build/bench/bench/*_bench; do
  name=$(basename "$program")
  echo "== $name"
  "$program" --benchmark_counters_tabular=true 2>&1 | tee "$results/$name.txt"
done
echo "== oscar-server load"
sh tools/oscar-server/load/run-load.sh build/bench 2>&1 | tee "$results/oscar-server-load.txt"
