#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The bash completion of tarvik-cli, called as bash calls it: COMP_WORDS and COMP_CWORD set,
# the function registered for tarvik-cli run, COMPREPLY read back.
#
#   test_bash_completion.sh <completion file>
set -uo pipefail

completion="$1"
failures=0

folder="$(mktemp -d)"
trap 'rm -rf "$folder"' EXIT
cd "$folder" || exit 1
mkdir rigs
touch rig.tvk firmware.txt "old rig.tvk"

# shellcheck source=/dev/null
source "$completion" || { echo "FAIL: sourcing $completion" >&2; exit 1; }
function_name="$(complete -p tarvik-cli 2>/dev/null | sed -n 's/.*-F \([^ ]*\) .*/\1/p')"
[ -n "$function_name" ] || { echo "FAIL: nothing completes tarvik-cli" >&2; exit 1; }

# expect <what the row checks> <the words on the line, the last one being completed> :: <offers>
expect() {
  local name="$1"
  shift
  local words=()
  while [ "$1" != "::" ]; do
    words+=("$1")
    shift
  done
  shift
  COMP_WORDS=(tarvik-cli "${words[@]}")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  "$function_name" tarvik-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  local got want
  got="$(printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort)"
  want="$(printf '%s\n' "$@" | sed '/^$/d' | sort)"
  if [ "$got" != "$want" ]; then
    echo "FAIL: $name: offered [$(tr '\n' ' ' <<<"$got")], expected [$(tr '\n' ' ' <<<"$want")]" >&2
    failures=$((failures + 1))
  else
    echo "PASS: $name"
  fi
}

expect "the commands after the program" "" :: ports info backup restore flash monitor library diff setlist loops sheet \
  linktest
expect "the commands that begin with the typed part" "re" :: restore
expect "backup offers the files and folders" backup "" :: rig.tvk firmware.txt "old rig.tvk" rigs
expect "restore offers the files that begin with the typed part" restore "r" :: rig.tvk rigs
expect "flash offers files" flash "f" :: firmware.txt
expect "options before the command do not count as it" --verbose --in usb backup "o" :: "old rig.tvk"
expect "the option's own text is not a command" --in "" ::
expect "a command without a file offers nothing" info "" ::
expect "linktest's count is the user's own" linktest "" ::
expect "the commands that begin with l" "l" :: library loops linktest
expect "a file already given is the last word" backup rig.tvk "" ::
expect "flash from the server takes no file" flash --from-server "" ::
expect "options, with -V the version and -v the log" "-" :: -h --help -V --version -v --verbose \
  --in --out --library --from-server --no-backup --update-url --replace --onto --only --pace --retries
expect "server options only where flash may follow" backup "--" :: --help --version --verbose --in \
  --out --library --pace --retries
expect "no pace where nothing is sent" monitor "--p" ::
expect "--retries offers its counts" restore --retries "" :: 0 1 2 3 4 5
expect "--pace's milliseconds are not the command" --pace 5 "li" :: library linktest
expect "--replace only where library may follow" library "--r" :: --replace --retries
expect "the library's sub-commands" library "" :: list import export store restore history
expect "library import offers files, more than one" library import rig.tvk "o" :: "old rig.tvk"
expect "library export's name is the user's own" library export "" ::
expect "library export's file after the name" library export live "f" :: firmware.txt
expect "library store takes a name, not a file" library store "" ::
expect "--library takes a file" --library "r" :: rig.tvk rigs
expect "--library's file is not the command" --library rig.tvk "li" :: library linktest
expect "diff offers the kinds of side and files" diff "" :: device library: snapshot: rig.tvk \
  firmware.txt "old rig.tvk" rigs
expect "diff's second side" diff device "s" :: snapshot:
expect "diff takes two sides" diff device rig.tvk "" ::
expect "sheet takes a side" sheet "d" :: device
expect "sheet's file after the side" sheet device "r" :: rig.tvk rigs
expect "sheet takes a side and a file" sheet device sheet.pdf "" ::
expect "the set lists' sub-commands" setlist "" :: store list show arrange chart follow
expect "setlist arrange's file after the name" setlist arrange friday "f" :: firmware.txt
expect "--onto takes a side" setlist arrange --onto "lib" :: library:
expect "loops swap's second loop, then its file" loops swap 3 "" :: 1 2 3 4 5 6 7 8
expect "--only where a restore may follow" restore "--on" :: --only
expect "no --only where no restore may follow" backup "--on" ::
expect "--only takes the parts" restore --only "" :: presets ccmap settings
expect "--only goes on after a comma" restore --only "presets:1-4,s" :: presets:1-4,settings
expect "--only's parts are not the file" restore --only presets "r" :: rig.tvk rigs
expect "library restore with --only takes no file" library restore --only ccmap live "" ::

if [ "$failures" -ne 0 ]; then
  echo "$failures failed" >&2
  exit 1
fi
