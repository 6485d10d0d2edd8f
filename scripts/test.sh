#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: in a debug
# build and in an AddressSanitizer + UndefinedBehaviorSanitizer build; then
# tries the run command once and runs the fuzz targets within a shared time
# budget.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

bash scripts/install-deps.sh || exit 1

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0"
# No sound card in CI: SDL's dummy audio driver keeps playback silent.
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
JOBS="${CORVANE_JOBS:-$(nproc)}"

passed=0
failed=0
status=0
for preset in debug asan; do
  echo "== $preset build"
  if ! cmake --preset "$preset" >/dev/null || ! cmake --build --preset "$preset" -j "$JOBS"; then
    echo "== $preset build failed"
    status=1
    continue
  fi
  # The install step must keep working: lay out a throw-away device folder.
  bash scripts/install-device.sh "build/$preset" "build/$preset/device" >/dev/null || status=1
  log="build/$preset/ctest.log"
  ctest --test-dir "build/$preset" -j "$JOBS" --output-on-failure --timeout 300 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  summary=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
  if [ -n "$summary" ]; then
    total=$(echo "$summary" | sed -E 's/.*out of ([0-9]+).*/\1/')
    bad=$(echo "$summary" | sed -E 's/.* ([0-9]+) tests failed.*/\1/')
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  else
    status=1
  fi
done

# The run command as a newcomer uses it. First the console: it builds the
# release preset, starts the server and the console signed on as the demo
# account, and the echo account answers.
echo "== run command"
smoke_device="$(mktemp -d /tmp/corvane-run-XXXXXX)"
printf 'msg 100100 hello\nwait-for event 40 60\nquit\n' |
  CORVANE_DEVICE="$smoke_device" bash scripts/run.sh --console > build/run-smoke.log 2>&1
if grep -q 'event 40 message from 100100 at .* "hello"' build/run-smoke.log; then
  passed=$((passed + 1))
  echo "== run command --console: the echo answered"
else
  tail -40 build/run-smoke.log
  echo "== run command --console FAILED"
  failed=$((failed + 1))
  status=1
fi
rm -rf "$smoke_device"

# Then the program, headless, on the build the console step made: signed on
# through Menu -> ICQ Status -> Online, the echo's chat opened from the list,
# a message sent and its echo drawn; SIGTERM to the run command quits the
# program with code 0 and stops the server.
run_program_check() {
  local device="$1" log="$2" run_pid run_status drove=0
  PHONECTL=build/release/tools/phonectl/phonectl
  source tools/phone-lib.sh
  export CORVANE_DEVICE="$device"
  CORVANE_DISPLAY=headless CORVANE_TIME_SCALE=20 bash scripts/run.sh > "$log" 2>&1 &
  run_pid=$!
  for _ in $(seq 1 600); do
    grep -q 'runs headless' "$log" && break
    kill -0 "$run_pid" 2>/dev/null || break
    sleep 0.2
  done
  shows '"ICQ Offline"' && press F2 && shows '"4 ICQ Status"' && press 4 1 && shows '"ICQ Online"' &&
    shows '"Echo"' && press Down Enter && shows '"Echo (Online)"' && ctl type "ping :)" > /dev/null &&
    shows '"ping :)"' && press F1 && shows ' Echo:"' || { drove=1; echo "screen:"; ctl text; }
  kill -TERM "$run_pid"
  run_status=0
  wait "$run_pid" || run_status=$?
  [ "$run_status" -eq 0 ] || echo "run.sh exited with $run_status"
  local proc
  for proc in /proc/[0-9]*; do
    [ "$(cat "$proc/comm" 2>/dev/null)" = oscar-server ] && grep -qaF "$device/oscar-server-data" "$proc/cmdline" 2>/dev/null &&
      { echo "the server still runs"; return 1; }
  done
  [ "$drove" -eq 0 ] && [ "$run_status" -eq 0 ]
}
smoke_device="$(mktemp -d /tmp/corvane-run-XXXXXX)"
if (run_program_check "$smoke_device" build/run-program.log); then
  passed=$((passed + 1))
  echo "== run command: the program signed on and the echo answered on the screen"
else
  tail -40 build/run-program.log
  echo "== run command (program) FAILED"
  failed=$((failed + 1))
  status=1
fi
rm -rf "$smoke_device"

# Every decoder of untrusted bytes has a libFuzzer target. They share one
# bounded budget (CORVANE_FUZZ_BUDGET seconds in all, at least
# CORVANE_FUZZ_MIN_SECONDS each) so that more targets do not lengthen the run
# without limit; scripts/fuzz-long.sh runs long campaigns.
FUZZ_BUDGET="${CORVANE_FUZZ_BUDGET:-360}"
FUZZ_MIN_SECONDS="${CORVANE_FUZZ_MIN_SECONDS:-10}"
echo "== fuzz build"
if cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j "$JOBS"; then
  mkdir -p build/fuzz/corpus
  targets=()
  for target in build/fuzz/fuzz/fuzz_*; do
    [ -x "$target" ] && targets+=("$target")
  done
  count=${#targets[@]}
  fuzz_seconds=$FUZZ_MIN_SECONDS
  if [ "$count" -gt 0 ] && [ $((FUZZ_BUDGET / count)) -gt "$fuzz_seconds" ]; then
    fuzz_seconds=$((FUZZ_BUDGET / count))
  fi
  # A fixed time per target, as earlier runs set it, still wins.
  fuzz_seconds="${CORVANE_FUZZ_SECONDS:-$fuzz_seconds}"
  for target in "${targets[@]}"; do
    name=$(basename "$target")
    mkdir -p "build/fuzz/corpus/$name"
    seeds="fuzz/seeds/$name"
    [ -d "$seeds" ] || seeds=""
    echo "== $name for ${fuzz_seconds}s"
    if "$target" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -print_final_stats=0 \
         "build/fuzz/corpus/$name" $seeds >"build/fuzz/$name.log" 2>&1; then
      passed=$((passed + 1))
    else
      tail -40 "build/fuzz/$name.log"
      echo "== $name FAILED"
      failed=$((failed + 1))
      status=1
    fi
  done
else
  echo "== fuzz build failed"
  status=1
fi

# The Debian package from the release build: unpacked into a scratch root,
# its program signs on at its bundled server (tests/scripts/package_install.sh).
echo "== package"
rm -f build/release/corvane_*.deb
if cmake --preset release >/dev/null && cmake --build --preset release -j "$JOBS" >/dev/null &&
   cpack --config build/release/CPackConfig.cmake -B build/release >build/package-cpack.log 2>&1; then
  deb=$(ls build/release/corvane_*.deb | head -1)
  package_start=$SECONDS
  if bash tests/scripts/package_install.sh "$deb" > build/package.log 2>&1; then
    passed=$((passed + 1))
    echo "== package: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB, install test $((SECONDS - package_start)) s"
  else
    tail -40 build/package.log
    echo "== package FAILED"
    failed=$((failed + 1))
    status=1
  fi
else
  tail -40 build/package-cpack.log
  echo "== package build failed"
  failed=$((failed + 1))
  status=1
fi

echo "$passed passed, $failed failed"
exit $status
