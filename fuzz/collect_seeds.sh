#!/usr/bin/env bash
# Gathers the seed corpora of the fuzz targets.
#
# Into <out>/compile and <out>/command_line: every golden case's input sources and argument
# list, the examples, fuzz/seeds and the stored regression inputs.
set -euo pipefail

if (($# != 1)); then
  echo "usage: $0 <output directory>" >&2
  exit 2
fi
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$1"
mkdir -p "$out/compile" "$out/command_line"

# Seeds are named after where they came from so that cases cannot overwrite each other.
copy_seed() {
  local file="$1" dir="$2" name
  name="$(realpath --relative-to="$root" "$file" | tr '/' '_')"
  cp "$file" "$dir/$name"
}

shopt -s nullglob globstar
for file in "$root"/tests/golden/*/input/**/*.pmp "$root"/examples/**/*.pmp \
            "$root"/fuzz/seeds/compile/* "$root"/fuzz/regressions/compile/*; do
  [[ -f $file ]] && copy_seed "$file" "$out/compile"
done
for file in "$root"/tests/golden/*/args "$root"/fuzz/seeds/command_line/* \
            "$root"/fuzz/regressions/command_line/*; do
  [[ -f $file ]] && copy_seed "$file" "$out/command_line"
done
echo "seeds: $(ls "$out/compile" | wc -l) compile, $(ls "$out/command_line" | wc -l) command_line"
