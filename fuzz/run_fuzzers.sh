#!/usr/bin/env bash
# Builds, replays and runs the fuzz targets for a bounded time.
#
# Builds the targets with clang, replays the stored regressions, then fuzzes each target for a
# bounded time (both at once). Fails on any crash, leak, timeout or sanitizer report.
#
#   fuzz/run_fuzzers.sh [seconds per target, default 60]
#
# Environment: FUZZ_BUILD_DIR (default build-fuzz), FUZZ_TIMEOUT (seconds per input, 10),
# FUZZ_RSS_MB (2048).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
timeout="${FUZZ_TIMEOUT:-10}"
rss="${FUZZ_RSS_MB:-2048}"
targets=(fuzz_compile fuzz_command_line)

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DPELC_FUZZ=ON -DPELC_SANITIZE=ON \
  -DPELC_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}"

"$root/fuzz/collect_seeds.sh" "$build/seeds"
mkdir -p "$build/artifacts"

dictionary_of() {
  case "$1" in
    fuzz_compile) echo "$root/fuzz/pelc.dict" ;;
    fuzz_command_line) echo "$root/fuzz/command_line.dict" ;;
  esac
}
corpus_of() { echo "${1#fuzz_}"; }

# Every input that once failed must keep passing.
for target in "${targets[@]}"; do
  regressions=("$root/fuzz/regressions/$(corpus_of "$target")"/*)
  if [[ -e ${regressions[0]} ]]; then
    echo "replaying ${#regressions[@]} regression inputs on $target"
    "$build/fuzz/$target" -timeout="$timeout" -rss_limit_mb="$rss" "${regressions[@]}" \
      >"$build/$target.replay.log" 2>&1 || {
      tail -n 40 "$build/$target.replay.log"
      echo "FAIL: $target on a stored regression input"
      exit 1
    }
  fi
done

pids=()
for target in "${targets[@]}"; do
  corpus="$build/corpus/$(corpus_of "$target")"
  mkdir -p "$corpus"
  "$build/fuzz/$target" "$corpus" "$build/seeds/$(corpus_of "$target")" \
    -dict="$(dictionary_of "$target")" -seed=1 -max_total_time="$seconds" -timeout="$timeout" \
    -rss_limit_mb="$rss" -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" >"$build/$target.log" 2>&1 &
  pids+=($!)
done

failed=0
for i in "${!targets[@]}"; do
  target="${targets[$i]}"
  if wait "${pids[$i]}"; then
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/$target.log")"
    echo "$target: no findings in ${seconds}s, ${runs:-?} executions"
  else
    failed=1
    tail -n 60 "$build/$target.log"
    echo "FAIL: $target (artifacts in $build/artifacts)"
  fi
done
exit "$failed"
