#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The built tarvik-configurator as a user starts it: under Xvfb, as `./configurator try` runs it,
# over a JACK server of the test's own with tarvik-sim on it. Once the window has preselected
# the simulator's ports, connect is pressed through the accessibility bus, as a screen reader
# presses it; --verbose's copy of the event log on standard error shows the download. Then the
# window is closed as a window manager closes it, and the program ends cleanly.
#
#   test_configurator_binary.sh <tarvik-configurator> <tarvik-sim>
# Exit code 77 (a skip to CTest): a program the test needs is not installed.
set -uo pipefail

configurator="$1"
sim="$2"
give_up=60

skip() {
  echo "SKIP: $* (scripts/install-deps.sh installs it)"
  exit 77
}
for program in Xvfb jackd jack_wait dbus-run-session /usr/libexec/at-spi-bus-launcher; do
  command -v "$program" >/dev/null || skip "$program is not installed"
done
for module in pyatspi Xlib; do
  /usr/bin/python3 -c "import $module" 2>/dev/null || skip "python3's $module is not installed"
done

# A session bus of the test's own, on which the accessibility bus starts when first asked for;
# both end with this script.
if [ -z "${TARVIK_TEST_SESSION_BUS:-}" ]; then
  TARVIK_TEST_SESSION_BUS=1 exec dbus-run-session -- bash "$0" "$@" 2> >(grep -v '^dbus-daemon' >&2)
fi

folder="$(mktemp -d)"
jack_pid="" sim_pid="" xvfb_pid="" app_pid=""

# As a window manager closes a window: WM_DELETE_WINDOW to each one shown on the display, which
# is the test's own.
close_windows() {
  /usr/bin/python3 - <<'EOF'
from Xlib import X, display, protocol
screen = display.Display()
protocols, delete = screen.intern_atom("WM_PROTOCOLS"), screen.intern_atom("WM_DELETE_WINDOW")
for window in screen.screen().root.query_tree().children:
    if window.get_attributes().map_state == X.IsViewable:
        window.send_event(protocol.event.ClientMessage(
            window=window, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0])))
screen.sync()
EOF
}
# Reads the configurator's output, each line into its log, until a line equal to $1 (with no
# argument: to its end); 0 when it came, 1 when the output ended first, 2 after $give_up
# seconds without a line.
read_output() {
  local line status
  while true; do
    IFS= read -r -t "$give_up" line <&4
    status=$?
    [ -n "$line" ] && echo "$line" >>"$folder/configurator.err"
    [ $status -gt 128 ] && return 2
    [ $status -ne 0 ] && { [ $# -eq 0 ]; return; }
    [ $# -gt 0 ] && [ "$line" = "$1" ] && return 0
  done
}
# A JACK client must end by itself: the configurator, ended by a signal, leaves the server in
# sync mode waiting for it for minutes. SIGTERM only where closing its window did not end it,
# and never SIGKILL (see JackRig.h).
stop() {
  [ -n "$1" ] || return 0
  kill -TERM "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}
cleanup() {
  if [ -n "$app_pid" ]; then
    close_windows 2>/dev/null && read_output
    stop "$app_pid"
  fi
  stop "$sim_pid"
  stop "$xvfb_pid"
  stop "$jack_pid"
  rm -rf "$folder"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  for log in configurator.err sim.log jackd.log; do
    echo "--- $log:" >&2
    tail -n 40 "$folder/$log" >&2 2>/dev/null
  done
  exit 1
}

# Nothing of the user's: settings, library and runtime folder are the test's.
export HOME="$folder" XDG_CONFIG_HOME="$folder/config" XDG_DATA_HOME="$folder/data"
export XDG_CACHE_HOME="$folder/cache" XDG_RUNTIME_DIR="$folder/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export LANGUAGE=en TARVIK_UPDATE_BASE_URL="http://127.0.0.1:9/downloads/tarvik/"

# As tests/support/JackRig.h starts its server.
export JACK_DEFAULT_SERVER="tarvik-binary-test-$$" JACK_NO_START_SERVER=1
jackd -n "$JACK_DEFAULT_SERVER" --no-realtime --sync --timeout 10000 \
  -d dummy -r 48000 -p 1024 >"$folder/jackd.log" 2>&1 &
jack_pid=$!
jack_wait -w -t 20 >/dev/null 2>&1 || fail "the JACK server did not come up"
"$sim" --api jack --seed 5 >"$folder/sim.log" 2>&1 &
sim_pid=$!

# Xvfb names its display once it takes clients.
mkfifo "$folder/display" "$folder/output"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$folder/display" 2>"$folder/xvfb.log" &
xvfb_pid=$!
read -r -t "$give_up" display <"$folder/display" || fail "Xvfb did not start: $(cat "$folder/xvfb.log")"
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

"$configurator" --verbose >"$folder/output" 2>&1 &
app_pid=$!
exec 4<"$folder/output"

/usr/bin/python3 - "$give_up" <<'EOF' || fail "connect was not pressed"
import sys, time
import pyatspi

deadline = time.monotonic() + float(sys.argv[1])

def find(root, role, name):
    return pyatspi.findDescendant(root, lambda a: a.getRole() == role and a.name == name,
                                  breadth_first=True)

def selected(list_):
    rows = [row.name for row in list_ if row.getState().contains(pyatspi.STATE_SELECTED)]
    return rows[0] if len(rows) == 1 else None

# The window's lists as a screen reader finds them, by their names; the ports are preselected
# once the program has listed them, after the window is on screen.
lists = None
while lists is None or [selected(l) for l in lists] != ["tarvik-sim:Tarvik MIDI",
                                                        "TARVIK-SIM:Tarvik MIDI"]:
    if time.monotonic() > deadline:
        sys.exit("the simulator's ports were not preselected: %s" %
                 ([selected(l) for l in lists] if lists else "no window"))
    time.sleep(0.2)
    try:
        if lists is None:
            app = next(a for a in pyatspi.Registry.getDesktop(0)
                       if a is not None and a.name == "Tarvik Configurator")
            lists = [find(app, pyatspi.ROLE_LIST, "Input Device"),
                     find(app, pyatspi.ROLE_LIST, "Output Device")]
            if None in lists:
                lists = None
    except Exception:  # no window on the bus yet, or it changed while being searched
        lists = None
find(app, pyatspi.ROLE_PUSH_BUTTON, "connect to Tarvik and read configuration") \
    .queryAction().doAction(0)
EOF

expected=(
  "Tarvik found! Firmware-Version: 1.9"
  "download presets..."
  "128 presets complete"
  "download config..."
  "20 config items found"
  "download control changes..."
  "control changes complete"
  "download programm change remap table..."
  "download programm change remap table complete"
)
read_output "${expected[0]}" || fail "no \"${expected[0]}\" on standard error"
for want in "${expected[@]:1}"; do
  IFS= read -r -t "$give_up" line <&4 || fail "standard error ended before \"$want\""
  echo "$line" >>"$folder/configurator.err"
  [ "$line" = "$want" ] || fail "\"$line\" where \"$want\" belongs"
done

close_windows || fail "the window could not be closed"
read_output || fail "the configurator did not end when its window was closed"
wait "$app_pid"
status=$?
app_pid=""
[ $status -eq 0 ] || fail "the configurator ended with exit code $status"
echo "PASS: the built configurator connects, downloads the simulator's tables and ends"
