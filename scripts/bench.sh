#!/usr/bin/env bash
# Runs every benchmark of a build; each prints "<name>: <value> <unit> (target <= <value>)".
set -euo pipefail
build="${1:-build}"
export QT_QPA_PLATFORM=offscreen
status=0
for exe in $(find "$build/bench" -maxdepth 1 -type f -name 'bench_*' -perm -u+x | sort); do
  echo "== $(basename "$exe")"
  "$exe" || status=1
done
exit $status
