#!/usr/bin/env bash
# Checks that the README's test command works on a truly fresh machine: builds a minimal Debian 12
# root with debootstrap, puts a clean clone of the current commit into it and runs
# `./configurator test` there through chroot. It takes many minutes (a whole install and a build
# without any cache), so it is not part of CI.
#
#   scripts/fresh-debian-check.sh [--keep] [--mirror URL] [ROOT]
#
#   ROOT          where the Debian root goes (default /var/tmp/tarvik-fresh-debian)
#   --keep        keep the root afterwards; a later run re-uses it and skips debootstrap (the
#                 packages that the previous run installed are then already there)
#   --mirror URL  the Debian mirror (default: the one this machine's apt sources use)
#
# Run as root (debootstrap, mount and chroot need it), with debootstrap installed. Only committed
# work is checked: uncommitted changes are not part of the clone.
#
# Each stage is a function called by main(); a further check in the root (e.g. installing a
# package there and starting the program) is one more function, run by one more run_step line.
set -euo pipefail

default_root=/var/tmp/tarvik-fresh-debian
suite=bookworm
# Inside the root the project sits where root's own work would.
project_in_root=/root/tarvik
# Marks a folder as made by this script: only such a folder is ever removed or re-used.
owner_mark=.tarvik-fresh-debian
# Written once debootstrap has finished, so that a half-made root is not re-used.
ready_mark=.tarvik-fresh-debian-ready

keep=0
mirror=""
root=""
created_root=0
reused_root=0
mounted=()
source_dir="$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)"
# Taken at the start: a commit made while debootstrap runs is not what was asked for.
commit="$(git -C "$source_dir" rev-parse HEAD)"
log=""
step_names=()
step_statuses=()
failed=0
reported=0
started=$SECONDS

say() { echo "fresh-debian-check: $*"; }
die() {
  echo "fresh-debian-check: $*" >&2
  exit 2
}

usage() {
  sed -n '7,13s/^# \{0,1\}//p' "$0"
}

parse_args() {
  while [ $# -gt 0 ]; do
    case "$1" in
      --keep) keep=1 ;;
      --mirror)
        [ $# -ge 2 ] || die "--mirror needs a URL"
        mirror="$2"
        shift
        ;;
      -h | --help)
        usage
        exit 0
        ;;
      -*) die "unknown option: $1" ;;
      *)
        [ -z "$root" ] || die "only one root folder, please"
        root="$1"
        ;;
    esac
    shift
  done
  root="${root:-$default_root}"
  # An absolute path without a trailing slash: the mount checks compare it with /proc/self/mounts.
  root="$(realpath -m "$root")"
  [ "$root" != / ] || die "the root folder cannot be /"
  # /proc/self/mounts escapes white space, and the check for mounts in the root reads it.
  [[ $root != *[[:space:]]* ]] || die "the root folder's path must not contain white space"
}

check_host() {
  [ "$(id -u)" -eq 0 ] || die "run as root: debootstrap, mount and chroot need it"
  command -v debootstrap >/dev/null || die "debootstrap is not installed (apt-get install debootstrap)"
  if [ -n "$(git -C "$source_dir" status --porcelain)" ]; then
    say "note: uncommitted changes in $source_dir are not part of the check"
  fi
}

# The Debian mirror this machine already uses for $suite, from its one-line (.list) and deb822
# (.sources) apt sources. Security and other suites are skipped: debootstrap wants the main archive.
find_mirror() {
  [ -z "$mirror" ] || return 0
  local files=()
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && files+=("$f")
  done
  if [ ${#files[@]} -gt 0 ]; then
    # "deb [options] URI SUITE COMPONENTS..."
    mirror="$(awk -v suite="$suite" '
      $1 == "deb" {
        i = 2
        if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
        if ($(i + 1) == suite) { print $i; exit }
      }' "${files[@]}")"
  fi
  if [ -z "$mirror" ]; then
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      # Paragraphs of "Field: value" lines; the first URI of a "Types: deb" paragraph with $suite.
      mirror="$(awk -v suite="$suite" '
        function check() {
          if (types ~ /(^| )deb( |$)/ && (" " suites " ") ~ (" " suite " ")) { print uri; found = 1 }
          types = suites = uri = ""
        }
        /^[ \t]*$/ { check(); if (found) exit; next }
        /^[ \t]*#/ { next }
        tolower($1) == "types:" { $1 = ""; types = $0 }
        tolower($1) == "suites:" { $1 = ""; suites = $0 }
        tolower($1) == "uris:" { uri = $2 }
        END { if (!found) check() }' "$f")"
      [ -z "$mirror" ] || break
    done
  fi
  [ -n "$mirror" ] || die "no $suite mirror in this machine's apt sources: pass --mirror URL"
  say "mirror: $mirror"
}

root_has_mounts() {
  awk -v root="$root" '$2 == root || index($2, root "/") == 1 { found = 1 } END { exit !found }' \
    /proc/self/mounts
}

# A minimal Debian: bash, apt and coreutils, no make, no compiler, no CMake.
make_root() {
  if [ -e "$root" ] && [ ! -e "$root/$owner_mark" ]; then
    if [ -n "$(ls -A "$root")" ]; then
      die "$root exists and was not made by this script: choose another folder"
    fi
  fi
  # Mounts left by a run that was killed outright: using or removing the root now would be unsafe.
  if root_has_mounts; then
    die "$root has file systems mounted in it (left by an earlier run?): unmount them first"
  fi
  if [ -e "$root/$ready_mark" ]; then
    say "re-using the Debian root in $root"
    reused_root=1
    return
  fi
  if [ -e "$root/$owner_mark" ]; then
    # Left half-made by an interrupted run: start again.
    rm -rf --one-file-system "$root"
  fi
  [ -e "$root" ] || created_root=1
  mkdir -p "$root"
  touch "$root/$owner_mark"
  say "debootstrap --variant=minbase $suite $root $mirror"
  debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$root.debootstrap.log" 2>&1 || {
    tail -n 20 "$root.debootstrap.log" >&2
    die "debootstrap failed (log: $root.debootstrap.log)"
  }
  rm -f "$root.debootstrap.log"
  # A package's maintainer script must not start a daemon in the root: nothing would stop it,
  # and it would keep the mounts below busy.
  printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
  chmod +x "$root/usr/sbin/policy-rc.d"
  touch "$root/$ready_mark"
}

# A clean clone of the current commit: what a user gets, without build folders or local changes.
copy_project() {
  say "project: $(git -C "$source_dir" log -1 --format='%h %s' "$commit")"
  rm -rf --one-file-system "${root:?}$project_in_root"
  git init --quiet "$root$project_in_root"
  # The commit itself, not whatever branch the repository's default is (the source folder may be
  # a worktree of it).
  git -C "$root$project_in_root" fetch --quiet "$source_dir" "$commit"
  git -C "$root$project_in_root" checkout --quiet --detach "$commit"
}

# What an installed machine has for its network and a chroot lacks.
copy_network_settings() {
  # -L: the machine's resolv.conf may be a link to a file that the root does not have.
  cp -L --remove-destination /etc/resolv.conf "$root/etc/resolv.conf"
  # The installer writes /etc/hosts, debootstrap does not; without it "localhost" is unknown.
  if [ ! -e "$root/etc/hosts" ]; then
    printf '127.0.0.1\tlocalhost\n::1\t\tlocalhost ip6-localhost ip6-loopback\n' >"$root/etc/hosts"
  fi
}

mount_into_root() {
  local fs_type="$1" source="$2" target="$root$3"
  mkdir -p "$target"
  if [ "$fs_type" = bind ]; then
    mount --bind "$source" "$target"
  else
    mount -t "$fs_type" "$source" "$target"
  fi
  mounted+=("$target")
  # Mounts made below the bound /dev must not travel back to the machine's own /dev, as they
  # would where / is a shared mount (systemd's default).
  mount --make-rslave "$target"
}

mount_filesystems() {
  mount_into_root proc proc /proc
  mount_into_root bind /dev /dev
  mount_into_root bind /dev/pts /dev/pts
  mount_into_root bind /dev/shm /dev/shm
}

# Runs a command line in the root as a login would: a clean environment (no DISPLAY, no build
# settings from this machine), root's home, a UTF-8 locale, which Qt wants.
run_in_root() {
  chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    /bin/bash -c "$1"
}

# An earlier run that was interrupted in the middle of an install leaves dpkg half done, and apt
# refuses to install anything until that is finished.
finish_interrupted_installs() {
  [ "$reused_root" -eq 1 ] || return 0
  run_in_root "DEBIAN_FRONTEND=noninteractive dpkg --configure -a"
}

# The README's test command, from the project folder, as root.
step_readme_test() {
  log="$root.test.log"
  say "running ./configurator test in the root (output also in $log)"
  # In the background, so that a TERM reaches the trap at once rather than after the whole run.
  (run_in_root "cd $project_in_root && ./configurator test" 2>&1 | tee "$log") &
  wait $!
}

# The README's install commands: a release build, CPack's Debian package, apt installing it with
# the dependencies its control file names, and both installed programs answering --version.
step_install_package() {
  say "building the Debian package in the root and installing it with apt-get"
  (run_in_root "cd $project_in_root && set -e
    cmake -S . -B build-release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVIK_BUILD_TESTS=OFF >/dev/null
    cmake --build build-release -j \$(nproc) >/dev/null
    cd build-release && cpack -G DEB >/dev/null
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ./tarvik-cli_*.deb ./tarvik-cli-print_*.deb \
      ./tarvik-configurator_*.deb >/dev/null
    dpkg-query -W -f='\${Package} \${Version}: \${Depends}\n' tarvik-configurator
    cd / && /usr/bin/tarvik-configurator --version && /usr/bin/tarvik-cli --version" 2>&1 |
    tee "$root.package.log") &
  wait $!
}

# The processes whose root directory is the Debian root: all were started by this script.
processes_in_root() {
  local p
  for p in /proc/[0-9]*; do
    if [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ]; then echo "${p#/proc/}"; fi
  done
}

# Processes still running in the root (after an interrupt, or a test's left-over child) keep the
# mounts busy.
stop_processes_in_root() {
  local pids
  mapfile -t pids < <(processes_in_root)
  [ ${#pids[@]} -gt 0 ] || return 0
  say "stopping processes left in the root: ${pids[*]}"
  kill -TERM "${pids[@]}" 2>/dev/null || true
  sleep 2
  mapfile -t pids < <(processes_in_root)
  [ ${#pids[@]} -eq 0 ] || kill -KILL "${pids[@]}" 2>/dev/null || true
}

unmount_all() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" ||
      echo "fresh-debian-check: could not unmount ${mounted[i]}" >&2
  done
  mounted=()
}

cleanup() {
  local status=$?
  trap - EXIT INT TERM
  [ -n "$root" ] || exit "$status"
  stop_processes_in_root
  unmount_all
  if [ "$keep" -eq 1 ]; then
    say "kept the root: $root"
  elif [ -e "$root/$owner_mark" ] || [ "$created_root" -eq 1 ]; then
    # Never remove a root with /dev or /proc still mounted in it: rm would empty the machine's
    # own /dev. --one-file-system is the second guard.
    if root_has_mounts; then
      echo "fresh-debian-check: $root still has mounts; not removing it" >&2
    else
      rm -rf --one-file-system "$root"
    fi
  fi
  # Last, after the output of the stopped processes.
  if [ "$reported" -eq 0 ] && [ "$status" -ne 0 ]; then
    echo "fresh-debian-check: FAIL (stopped before the test finished, status $status)" >&2
  fi
  exit "$status"
}

# Runs one check in the root and notes its outcome for the report; a failed check does not stop
# the ones after it. Called from an || list, a step runs without set -e: it returns its status.
run_step() {
  local name="$1" status=0
  shift
  "$@" || status=$?
  step_names+=("$name")
  step_statuses+=("$status")
  [ "$status" -eq 0 ] || failed=1
}

report() {
  local elapsed=$((SECONDS - started)) summary="" i verdict
  reported=1
  echo
  if [ -n "$log" ]; then
    summary="$(grep -E 'tests passed, [0-9]+ tests failed out of' "$log" | tail -n 1 || true)"
    echo "fresh-debian-check: ${summary:-no test summary} (log: $log)"
  fi
  for i in "${!step_names[@]}"; do
    verdict=PASS
    [ "${step_statuses[i]}" -eq 0 ] || verdict=FAIL
    echo "fresh-debian-check: $verdict ${step_names[i]} (exit status ${step_statuses[i]})"
  done
  echo "fresh-debian-check: took $((elapsed / 60)) min $((elapsed % 60)) s"
  if [ "$failed" -eq 0 ]; then
    echo "fresh-debian-check: PASS"
  else
    echo "fresh-debian-check: FAIL"
  fi
}

main() {
  parse_args "$@"
  check_host
  trap cleanup EXIT
  # Ctrl-C or a kill still goes through cleanup (the EXIT trap) with a failing status.
  trap 'exit 130' INT
  trap 'exit 143' TERM
  find_mirror
  make_root
  copy_project
  copy_network_settings
  mount_filesystems
  finish_interrupted_installs
  run_step "./configurator test" step_readme_test
  run_step "install the .deb, start tarvik-configurator --version" step_install_package
  report
  return "$failed"
}

main "$@"
