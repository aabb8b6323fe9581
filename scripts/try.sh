#!/usr/bin/env bash
# Try the configurator without a Tarvik: starts the simulated device (tarvik-sim) on virtual MIDI
# ports, an update server on this machine that offers a newer firmware (tarvik-update-server),
# then the configurator pointed at that server, and cleans up when the configurator is closed or
# on Ctrl-C.
# Where the machine has no ALSA sequencer, a JACK server with the dummy driver (no sound card
# needed) carries the ports; it is stopped again on exit.
#
#   scripts/try.sh <builddir> [tarvik-sim options, e.g. --seed 7 --delay 20 --echo]
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 <builddir> [tarvik-sim options]" >&2
  exit 2
fi
build="$1"; shift
here="$(cd "$(dirname "$0")" && pwd)"
sim="$build/sim/tarvik-sim"
app="$build/app/tarvik-configurator"
update_server="$build/sim/fixtures/tarvik-update-server"
for exe in "$sim" "$app" "$update_server"; do
  if [ ! -x "$exe" ]; then
    echo "$exe not found: ./configurator try builds it" >&2
    exit 1
  fi
done
# Without a display there is nothing to try: say so before starting JACK and the simulator.
"$here/run.sh" --check "$app"

jack_pid=""
sim_pid=""
app_pid=""
update_pid=""
update_out=""
cleanup() {
  if [ -n "$app_pid" ]; then
    # Whatever the configurator started goes with it: its whole process group.
    kill -TERM -- "-$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
  fi
  if [ -n "$sim_pid" ]; then
    kill -TERM "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  if [ -n "$update_pid" ]; then
    kill -TERM "$update_pid" 2>/dev/null || true
    wait "$update_pid" 2>/dev/null || true
  fi
  [ -z "$update_out" ] || rm -f "$update_out"
  if [ -n "$jack_pid" ]; then
    kill -TERM "$jack_pid" 2>/dev/null || true
    wait "$jack_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ ! -e /dev/snd/seq ]; then
  if jack_lsp >/dev/null 2>&1; then
    echo "using the JACK server that is already running"
  else
    if ! command -v jackd >/dev/null 2>&1; then
      echo "no ALSA sequencer and no jackd: install jackd2 (scripts/install-deps.sh)" >&2
      exit 1
    fi
    jack_log="${TMPDIR:-/tmp}/tarvik-try-jackd.log"
    echo "no ALSA sequencer: starting a JACK server with the dummy driver (log: $jack_log)"
    jackd --no-realtime -d dummy -r 48000 -p 256 >"$jack_log" 2>&1 &
    jack_pid=$!
    if ! jack_wait -w -t 10 >/dev/null 2>&1; then
      echo "the JACK server did not start; see $jack_log" >&2
      exit 1
    fi
  fi
fi

# An update server on this machine with a newer firmware than the virtual Tarvik's 1.9, so that
# "check for updates" offers the flash and the whole update runs against the simulator.
update_out="$(mktemp)"
"$update_server" --version 2.0 --pages 32 >"$update_out" 2>&1 &
update_pid=$!
for _ in $(seq 1 50); do
  grep -q '^http://' "$update_out" && break
  kill -0 "$update_pid" 2>/dev/null || break
  sleep 0.1
done
update_url="$(grep -m1 '^http://' "$update_out" || true)"
if [ -z "$update_url" ]; then
  echo "the update server did not start:" >&2
  cat "$update_out" >&2
  exit 1
fi
export TARVIK_UPDATE_BASE_URL="$update_url"
echo "update server with firmware 2.0 (32 pages) at $update_url"

"$sim" "$@" &
sim_pid=$!

# No wait for the simulator's ports: the configurator's lists follow the ports that appear and
# offer the simulator's pair as soon as JACK or ALSA lists it.
echo "starting the configurator; connect to \"tarvik-sim:Tarvik MIDI\" (pre-selected)"
# In a session of its own, so that Ctrl-C here can end it together with whatever run.sh started;
# waiting in the background keeps this script able to take the signal at once.
setsid "$here/run.sh" "$app" &
app_pid=$!
status=0
wait "$app_pid" || status=$?
app_pid=""
exit "$status"
