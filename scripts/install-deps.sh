#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the device simulator need, if missing.
# Runs as root on a fresh Debian 12 machine; elsewhere it only reports what is missing.
# It uses only what a minimal Debian has (bash, dpkg, apt, debconf, grep).
#
#   scripts/install-deps.sh [package...]   further packages for one command only (e.g. fuzzing)
set -euo pipefail
packages=("$@"
  # make: CMake's default generator writes Makefiles.
  cmake make g++ pkg-config
  # The suite's build links its hundred programs with LLVM's linker, which is three times faster.
  lld
  qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev
  librtmidi-dev libinih-dev libcpp-httplib-dev
  # ALSA's and JACK's own headers: their messages are routed, and JACK's clock is read.
  libasound2-dev libjack-jackd2-dev
  jackd2 xvfb xauth fonts-dejavu-core
  # The built window under Xvfb, its connect pressed through the accessibility bus as a screen
  # reader presses it (a session bus of the test's own, the bus, pyatspi) and closed as a window
  # manager closes it (python3-xlib).
  dbus-daemon at-spi2-core python3-pyatspi python3-xlib
  # JACK on PipeWire, as Debian 12's desktops run it: a headless server and pw-jack for a test.
  pipewire pipewire-jack
  help2man desktop-file-utils appstream dpkg-dev file
  # The library of setups: Qt SQL's SQLite driver; the sqlite3 shell for checks in tests.
  libqt6sql6-sqlite sqlite3
  # Translations: lupdate and lrelease at build time, Qt's own German texts at run time.
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  # The stateful property test of the window over the core.
  librapidcheck-dev
  # The set chart's test reads its PDF back as text (pdftotext); the README's picture of it
  # comes from pdftoppm.
  poppler-utils
  # The .tvk file type, and the package check.
  shared-mime-info lintian
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "missing Debian packages: ${missing[*]}" >&2
  echo "run as root, or install them with: sudo apt-get install --no-install-recommends ${missing[*]}" >&2
  exit 1
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# jackd2 asks whether to enable realtime scheduling; answer once, without a prompt.
echo "jackd2 jackd/tweak_rt_limits boolean false" | debconf-set-selections
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
