#!/usr/bin/env bash
# Starts the configurator; on a machine without a display it runs under a virtual X server.
set -euo pipefail
exe="$1"; shift
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$exe" "$@"
fi
if command -v xvfb-run >/dev/null 2>&1; then
  echo "no display found: starting under xvfb-run (the window is not visible on this machine)" >&2
  exec xvfb-run -a "$exe" "$@"
fi
echo "no display found and xvfb-run is not installed: set DISPLAY or install xvfb" >&2
exit 1
