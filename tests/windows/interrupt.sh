#!/usr/bin/env bash
# Ctrl+C during a long compile removes the half-written output and keeps the old one; Wine
# turns an interrupt signal into the console's Ctrl+C event.
#
#   tests/windows/interrupt.sh PELC_EXE WINE
#
# The interrupt is sent once the replacement file exists. A compile that ended before it
# arrived proves nothing either way and is said as such; any other outcome is checked.
set -euo pipefail

pelc="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
wine="$2"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"

head -c 100000000 <(yes 'v1 = v2 + 3') >main.pmp
echo old >main.pml
"$wine" "$pelc" main.pmp >stdout 2>&1 &
compiler=$!

replacement=""
while kill -0 "$compiler" 2>/dev/null && [[ -z $replacement ]]; do
  replacement="$(find . -maxdepth 1 -name 'main.pml.*' -print -quit)"
  sleep 0.05
done
kill -INT "$compiler" 2>/dev/null || true
status=0
wait "$compiler" || status=$?

if [[ $status -eq 0 ]]; then
  echo "interrupt: the compile ended before the interrupt arrived; nothing shown"
  exit 0
fi
leftovers="$(find . -maxdepth 1 -name 'main.pml.*' -o -maxdepth 1 -name 'pelc.*')"
# 58: the low byte of the status Ctrl+C ends a process with (STATUS_CONTROL_C_EXIT).
if [[ $status -ne 58 || -n $leftovers || $(cat main.pml) != old ]]; then
  echo "interrupt: FAILED (status $status); left: ${leftovers:-nothing}; main.pml:" \
    "$(head -c 40 main.pml)"
  exit 1
fi
echo "interrupt: status $status, replacement removed, the old output kept"
