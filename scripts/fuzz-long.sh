#!/usr/bin/env bash
# Long fuzzing campaigns, outside CI: builds the libFuzzer targets (preset
# "fuzz") and runs one, several or all of them, one after the other, each for
# the given time. Corpora are kept in build/fuzz/corpus/<target> (the same
# folders scripts/test.sh uses), so every campaign starts where the last one
# stopped; crashing inputs are written to build/fuzz/artifacts/<target>/.
#
#   scripts/fuzz-long.sh [--hours H | --minutes M | --seconds S] [--workers N] [target...]
#
# Without a target every fuzz_* program runs. The default time is one hour per
# target; --workers runs N fuzzing processes per target (libFuzzer's -fork).
# Exits with 1 when a target found a fault or the build failed.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

seconds=3600
workers=1
names=()
while [ $# -gt 0 ]; do
  case "$1" in
    --hours) seconds=$(( $2 * 3600 )); shift 2 ;;
    --minutes) seconds=$(( $2 * 60 )); shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --workers) workers=$2; shift 2 ;;
    -h|--help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) names+=("$1"); shift ;;
  esac
done

cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j "${CORVANE_JOBS:-$(nproc)}" || exit 1

if [ ${#names[@]} -eq 0 ]; then
  for target in build/fuzz/fuzz/fuzz_*; do
    [ -x "$target" ] && names+=("$(basename "$target")")
  done
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
status=0
for name in "${names[@]}"; do
  name="${name#fuzz/}"
  target="build/fuzz/fuzz/$name"
  if [ ! -x "$target" ]; then
    echo "== no fuzz target $name" >&2
    status=1
    continue
  fi
  corpus="build/fuzz/corpus/$name"
  artifacts="build/fuzz/artifacts/$name"
  mkdir -p "$corpus" "$artifacts"
  seeds="fuzz/seeds/$name"
  [ -d "$seeds" ] || seeds=""
  fork=""
  [ "$workers" -gt 1 ] && fork="-fork=$workers"
  echo "== $name for ${seconds}s (log build/fuzz/$name.long.log)"
  if "$target" -max_total_time="$seconds" -rss_limit_mb=2048 $fork \
       -artifact_prefix="$artifacts/" "$corpus" $seeds >"build/fuzz/$name.long.log" 2>&1; then
    echo "== $name: no fault, corpus $(ls "$corpus" | wc -l) inputs"
  else
    tail -40 "build/fuzz/$name.long.log"
    echo "== $name FOUND A FAULT (inputs in $artifacts)"
    status=1
  fi
done
exit $status
