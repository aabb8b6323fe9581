#!/usr/bin/env bash
# Starts the configurator in the user's graphical session.
#
#   scripts/run.sh <configurator> [arguments]   starts it, or explains why it cannot
#   scripts/run.sh --check <configurator>       only the explanation, when there is no display
#
# Without a display it does not hide the window under a virtual X server, where nobody would see
# it and the command would seem to hang: it says in one line how to try it anyway and fails.
set -euo pipefail

check_only=0
if [ "${1:-}" = "--check" ]; then
  check_only=1
  shift
fi
if [ $# -lt 1 ]; then
  echo "usage: $0 [--check] <configurator> [arguments]" >&2
  exit 2
fi
exe="$1"; shift
# As a command to paste, a relative path needs its "./".
case "$exe" in
  /* | ./* | ../*) shown="$exe" ;;
  *) shown="./$exe" ;;
esac

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "tarvik-configurator needs a graphical session (DISPLAY and WAYLAND_DISPLAY are unset); to try it anyway, with a screenshot in shot.png (import is in imagemagick): xvfb-run -a sh -c '$shown & sleep 5; import -window root shot.png; kill \$!'" >&2
  exit 1
fi
if [ "$check_only" -eq 1 ]; then
  exit 0
fi
exec "$exe" "$@"
