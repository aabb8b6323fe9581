#!/bin/bash
# The front ends reach the device only through the core: no file of app/ or cli/ includes a
# header of link/ or midi/, except the factories that make the MIDI service (the window's
# platform module, the command line's MIDI module), nor the core's parts (core/CoreParts.h, for
# tests and benchmarks).
# Usage: test_front_end_includes.sh SOURCE_DIR
set -u
cd "$1" || exit 1
# A scan that finds no front end at all would pass whatever the tree holds.
if ! grep -rqs --include='*.cpp' 'core/ConfiguratorCore.h' app cli; then
  echo "no front-end source under $1"
  exit 1
fi
including() {
  grep -rnE --include='*.cpp' --include='*.h' "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($1)" app cli
}
reaching=$(including '(link|midi)/' | grep -vE '^(app/(platform/|PlatformModule\.)|cli/(midi/|MidiModule\.))'
  including 'core/CoreParts\.h')
if [ -n "$reaching" ]; then
  echo "front-end files that reach past the core (include what ConfiguratorCore offers instead):"
  echo "$reaching"
  exit 1
fi
