#!/usr/bin/env bash
# Runs every benchmark of a build and counts the figures that met their targets.
#
#   scripts/bench.sh [builddir]
#
# Each benchmark prints "<name>: <value> <unit> (target <= <value> <unit>)" (or ">="); a line
# without a target is information only. The exit status is that of the benchmarks: non-zero when
# any of them exited non-zero.
set -euo pipefail
build="${1:-build}"
export QT_QPA_PLATFORM=offscreen

# Whether a figure line met its target; a value that is not a number (nan, inf) did not.
met_target() {
  awk -v value="$1" -v op="$2" -v target="$3" 'BEGIN {
    number = "^-?[0-9]+([.][0-9]+)?$"
    if (value !~ number || target !~ number) exit 1
    exit !(op == "<=" ? value + 0 <= target + 0 : value + 0 >= target + 0)
  }'
}

benchmarks=""
if [ -d "$build/bench" ]; then
  benchmarks=$(find "$build/bench" -maxdepth 1 -type f -name 'bench_*' -perm -u+x | sort)
fi
if [ -z "$benchmarks" ]; then
  echo "no benchmarks in $build/bench: ./configurator bench builds them" >&2
  exit 1
fi

output="$(mktemp)"
trap 'rm -f "$output"' EXIT
status=0
figures=0
met=0
misses=()
failures=()
figure_line='^([^:]+): ([^ ]+) .*\(target (<=|>=) ([^ )]+)'
for exe in $benchmarks; do
  name="$(basename "$exe")"
  echo "== $name"
  # Shown as it comes (some run for a while), kept for the count.
  exe_status=0
  "$exe" | tee "$output" || exe_status=$?
  if [ "$exe_status" -ne 0 ]; then
    status=1
    failures+=("$name exited with status $exe_status")
  fi
  while IFS= read -r line; do
    [[ $line =~ $figure_line ]] || continue
    figures=$((figures + 1))
    if met_target "${BASH_REMATCH[2]}" "${BASH_REMATCH[3]}" "${BASH_REMATCH[4]}"; then
      met=$((met + 1))
    else
      misses+=("$line")
    fi
  done <"$output"
done

echo "=="
for line in "${misses[@]}"; do echo "missed: $line"; done
for line in "${failures[@]}"; do echo "failed: $line"; done
echo "$met of $figures figures met their targets"
exit $status
