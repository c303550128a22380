#!/usr/bin/env bash
# Runs every golden case against one built pelc, optionally through a command put before it.
#
#   tests/golden/run_all.sh [--windows] [--formats] GOLDEN_RUNNER PELC [PREFIX...]
#
# --windows: the program is a pelc.exe. The cases listed in windows-excluded.txt are skipped
# (each with its reason there) and those under windows/ run as well. PREFIX, e.g. a path to
# wine, runs the program: `run_all.sh --windows build/tests/golden_runner build-win/pelc.exe wine`.
# A case that fails there runs once more and counts as passed when the second run passes; the
# summary says how many did, and the first run's report is printed at the end.
# --formats: each case with --diagnostics=text and =json instead (golden_runner --formats).
# Prints one line per case and a summary; exits 1 when any case fails.
set -uo pipefail
shopt -s nullglob

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
windows=0
runner_options=()
while [[ ${1:-} == --* ]]; do
  case "$1" in
    --windows) windows=1 ;;
    --formats) runner_options+=(--formats) ;;
    *) break ;;
  esac
  shift
done
if (($# < 2)); then
  echo "usage: $0 [--windows] [--formats] GOLDEN_RUNNER PELC [PREFIX...]" >&2
  exit 2
fi
runner="$1"
pelc="$2"
shift 2
export PELC_RUN_PREFIX="$*"

excluded=()
cases=("$here"/*/status)
if ((windows)); then
  # Lines "<case> <reason>"; '#' starts a comment.
  mapfile -t excluded < <(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$here/windows-excluded.txt" |
    awk '{print $1}')
  cases+=("$here"/windows/*/status)
fi

passed=0
failed=()
skipped=0
reports=""  # the failures' reports, repeated at the end where a log's tail shows them
rerun=()    # cases that failed under Wine once and then passed
for status in "${cases[@]}"; do
  dir="$(dirname "$status")"
  name="$(basename "$dir")"
  if printf '%s\n' "${excluded[@]}" | grep -qxF -- "$name"; then
    echo "SKIP $name (windows-excluded.txt)"
    skipped=$((skipped + 1))
    continue
  fi
  report="$("$runner" "${runner_options[@]}" "$pelc" "$dir" 2>&1)"
  result=$?
  if ((windows && result != 0 && result != 77)); then
    # Under Wine a run now and then ends with status 1 and no output at all, in cases that
    # pass hundreds of times in a row here. A second run decides; the first one's report
    # stays in the log.
    first="$report"
    report="$("$runner" "${runner_options[@]}" "$pelc" "$dir" 2>&1)"
    result=$?
    if ((result == 0)); then
      rerun+=("$name")
      reports+="passed on a second run; the first run said:"$'\n'"$first"$'\n'
    fi
  fi
  printf '%s\n' "$report"
  case $result in
    0) passed=$((passed + 1)) ;;
    77) skipped=$((skipped + 1)) ;; # --formats on a case that chooses its own format
    *)
      failed+=("$name")
      reports+="$report"$'\n'
      ;;
  esac
done

if [[ -n $reports ]]; then printf '\n%s' "$reports"; fi
echo "golden cases: $passed passed (${#rerun[@]} on a second run), ${#failed[@]} failed," \
  "$skipped skipped"
if ((${#failed[@]} > 0)); then
  printf 'failed: %s\n' "${failed[@]}"
  exit 1
fi
