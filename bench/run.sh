#!/usr/bin/env bash
# Times pelc, the copy-through floor, the C preprocessor and cat side by side on the same
# generated sources.
#
# Runs `pelc -X`, `bench_copy` (reads the source, writes it with CR LF line ends to main.pml as
# pelc does), `cpp -P` (the GNU C preprocessor) and `cat` and prints throughput, time ratios and
# peak resident memory of each.
#
#   bench/run.sh [megabytes ...]          default: 5 50
#
# Environment:
#   BUILD_DIR  build tree with pelc, bench/bench_generate and bench/bench_copy (default: build;
#              use an optimised build, e.g. cmake -S . -B build -DCMAKE_BUILD_TYPE=Release)
#   BENCH_DIR  where the sources are generated and kept between runs (default: /tmp/pelc-bench)
#   KINDS      source kinds to time (default: "all plain")
#   REPEAT     each command runs this many times; the fastest run counts (default: 3)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${BUILD_DIR:-$root/build}" && pwd)"
work="${BENCH_DIR:-/tmp/pelc-bench}"
kinds=(${KINDS:-all plain})
repeat="${REPEAT:-3}"
sizes=("$@")
((${#sizes[@]} > 0)) || sizes=(5 50)

pelc="$build/pelc"
generate="$build/bench/bench_generate"
copy="$build/bench/bench_copy"
for tool in "$pelc" "$generate" "$copy" /usr/bin/time; do
  [[ -x $tool ]] || { echo "missing $tool (build first: cmake --build $build)" >&2; exit 1; }
done
command -v cpp >/dev/null || { echo "missing cpp (GNU C preprocessor)" >&2; exit 1; }

# Runs a command once with its standard output going to the file named first;
# prints "<seconds> <peak KiB>".
run_once() {
  local output="$1" start end
  shift
  start=$(date +%s%N)
  /usr/bin/time -f "%M" -o "$dir/time.out" "$@" >"$output"
  end=$(date +%s%N)
  awk -v ns=$((end - start)) -v rss="$(tail -n 1 "$dir/time.out")" \
    'BEGIN { printf "%.4f %d\n", ns / 1e9, rss }'
}

# Times the four tools in turns, `repeat` rounds of one run each, so that a slower
# spell of the machine (they come and go over seconds to minutes on a shared host)
# falls on all of them alike instead of on the runs of one tool. Sets best_<tool>
# to the fastest run and rss_<tool> to the peak memory of all runs.
measure_in_turns() {
  local tool seconds rss
  best_pelc="" best_copy="" best_cpp="" best_cat="" rss_pelc=0 rss_copy=0 rss_cpp=0 rss_cat=0
  for ((i = 0; i < repeat; i++)); do
    for tool in pelc copy cpp cat; do
      case $tool in
        pelc) read -r seconds rss < <(run_once /dev/null "$pelc" -X main.pmp) ;;
        copy) read -r seconds rss < <(run_once /dev/null "$copy" main.pmp) ;;
        cpp) read -r seconds rss < <(run_once /dev/null cpp -P main.pmp -o main.i) ;;
        cat) read -r seconds rss < <(run_once main.cat cat main.pmp) ;;
      esac
      local best_var="best_$tool" rss_var="rss_$tool"
      if [[ -z ${!best_var} ]] || awk -v a="$seconds" -v b="${!best_var}" 'BEGIN { exit !(a < b) }'
      then
        printf -v "$best_var" '%s' "$seconds"
      fi
      if ((rss > ${!rss_var})); then printf -v "$rss_var" '%s' "$rss"; fi
    done
  done
}

row() {  # name seconds rssKiB bytes pelcSeconds
  awk -v name="$1" -v s="$2" -v rss="$3" -v bytes="$4" -v base="$5" 'BEGIN {
    mb = bytes / 1048576
    printf "  %-9s %9.3f %9.1f %9.2f %11.1f %9.2f\n", name, s, mb / s, s / base, rss / 1024,
           rss * 1024 / bytes }'
}

verdict() {  # label value comparison target
  awk -v label="$1" -v v="$2" -v cmp="$3" -v t="$4" 'BEGIN {
    ok = (cmp == ">=") ? v >= t : v <= t
    printf "  %-28s %7.2f  (target %s %s)  %s\n", label, v, cmp, t, ok ? "met" : "MISSED" }'
}

printf 'pelc %s, %s, best of %s runs each, taken in turns\n' "$("$pelc" -V 2>/dev/null | head -c 19 || true)" \
  "$(nproc) cores" "$repeat"
for size in "${sizes[@]}"; do
  for kind in "${kinds[@]}"; do
    dir="$work/$kind-$size"
    if [[ ! -f $dir/main.pmp ]]; then
      "$generate" "$kind" "$size" "$dir" >/dev/null
    fi
    bytes=$(stat -c %s "$dir/main.pmp")
    cat "$dir/main.pmp" >/dev/null  # page cache
    cd "$dir"
    measure_in_turns
    pelc_s=$best_pelc pelc_rss=$rss_pelc copy_s=$best_copy copy_rss=$rss_copy
    cpp_s=$best_cpp cpp_rss=$rss_cpp cat_s=$best_cat cat_rss=$rss_cat
    cd - >/dev/null
    printf '\n%s source, %s MB (%s bytes)\n' "$kind" "$size" "$bytes"
    printf '  %-9s %9s %9s %9s %11s %9s\n' tool seconds MB/s "x pelc" "peak RSS MB" "RSS/size"
    row "pelc -X" "$pelc_s" "$pelc_rss" "$bytes" "$pelc_s"
    row "copier" "$copy_s" "$copy_rss" "$bytes" "$pelc_s"
    row "cpp -P" "$cpp_s" "$cpp_rss" "$bytes" "$pelc_s"
    row "cat" "$cat_s" "$cat_rss" "$bytes" "$pelc_s"
    if [[ $kind == all ]]; then
      verdict "cpp -P time / pelc time" "$(awk -v a="$cpp_s" -v b="$pelc_s" 'BEGIN{print a/b}')" \
        ">=" 8
    else
      verdict "pelc time / copier time" "$(awk -v a="$pelc_s" -v b="$copy_s" 'BEGIN{print a/b}')" \
        "<=" 2
    fi
    verdict "pelc peak RSS / source size" \
      "$(awk -v r="$pelc_rss" -v b="$bytes" 'BEGIN{print r*1024/b}')" "<=" 1.5
  done
done
