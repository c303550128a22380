#!/usr/bin/env bash
# Times pelc, the C preprocessor and cat side by side on the same generated sources.
#
# Runs `pelc -X`, `cpp -P` (the GNU C preprocessor) and `cat` and prints throughput, time ratios
# and peak resident memory of each.
#
#   bench/run.sh [megabytes ...]          default: 5 50
#
# Environment:
#   BUILD_DIR  build tree with pelc and bench/bench_generate (default: build; use an optimised
#              build, e.g. cmake -S . -B build -DCMAKE_BUILD_TYPE=Release)
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
for tool in "$pelc" "$generate" /usr/bin/time; do
  [[ -x $tool ]] || { echo "missing $tool (build first: cmake --build $build)" >&2; exit 1; }
done
command -v cpp >/dev/null || { echo "missing cpp (GNU C preprocessor)" >&2; exit 1; }

# Runs a command `repeat` times with its standard output going to the file named first;
# prints "<best seconds> <peak KiB>".
measure() {
  local output="$1" best="" peak=0 start end seconds rss
  shift
  for ((i = 0; i < repeat; i++)); do
    start=$(date +%s%N)
    /usr/bin/time -f "%M" -o "$dir/time.out" "$@" >"$output"
    end=$(date +%s%N)
    seconds=$(awk -v ns=$((end - start)) 'BEGIN { printf "%.4f", ns / 1e9 }')
    rss=$(tail -n 1 "$dir/time.out")
    if [[ -z $best ]] || awk -v a="$seconds" -v b="$best" 'BEGIN { exit !(a < b) }'; then
      best=$seconds
    fi
    ((rss > peak)) && peak=$rss
  done
  echo "$best $peak"
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

printf 'pelc %s, %s, best of %s runs\n' "$("$pelc" -V 2>/dev/null | head -c 19 || true)" \
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
    read -r pelc_s pelc_rss < <(measure /dev/null "$pelc" -X main.pmp)
    read -r cpp_s cpp_rss < <(measure /dev/null cpp -P main.pmp -o main.i)
    read -r cat_s cat_rss < <(measure main.cat cat main.pmp)
    cd - >/dev/null
    printf '\n%s source, %s MB (%s bytes)\n' "$kind" "$size" "$bytes"
    printf '  %-9s %9s %9s %9s %11s %9s\n' tool seconds MB/s "x pelc" "peak RSS MB" "RSS/size"
    row "pelc -X" "$pelc_s" "$pelc_rss" "$bytes" "$pelc_s"
    row "cpp -P" "$cpp_s" "$cpp_rss" "$bytes" "$pelc_s"
    row "cat" "$cat_s" "$cat_rss" "$bytes" "$pelc_s"
    if [[ $kind == all ]]; then
      verdict "cpp -P time / pelc time" "$(awk -v a="$cpp_s" -v b="$pelc_s" 'BEGIN{print a/b}')" \
        ">=" 10
    else
      verdict "pelc time / cat time" "$(awk -v a="$pelc_s" -v b="$cat_s" 'BEGIN{print a/b}')" \
        "<=" 4
    fi
    verdict "pelc peak RSS / source size" \
      "$(awk -v r="$pelc_rss" -v b="$bytes" 'BEGIN{print r*1024/b}')" "<=" 1.5
  done
done
