#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the two Debian packages with the README's own commands, so that what it checks is what
# a reader of the README gets, and checks them: cpack makes exactly tarvik-cli and
# tarvik-configurator, the command line's package depends on no Qt Widgets (Qt GUI only for the
# set chart's module, which draws offscreen), the window's
# depends on the command line's, and lintian finds no error and no warning in either (its notes
# are printed). Packing and linting take about two minutes here, too long for every test run, so
# CTest leaves it to this script.
#
#   scripts/check-packages.sh [build folder]    default: build-package
#
# The packages stay in the build folder, ready for `apt-get install ./<file>.deb`.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-package}"

for tool in cmake cpack dpkg-deb dpkg-parsechangelog lintian; do
  command -v "$tool" >/dev/null ||
    { echo "$tool is missing: scripts/install-deps.sh installs it" >&2; exit 1; }
done

# Word for word the README's "Debian packages" section, with the build folder in its place. Prefix
# /usr, as Debian's own packages are configured: the window's module then goes into the multiarch
# library folder, and CPack adds no needless ldconfig call for it.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVIK_BUILD_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB)

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The packaging build refuses a changelog whose newest entry is not this version.
version="$(dpkg-parsechangelog -l packaging/debian/changelog -S Version)"
arch="$(dpkg --print-architecture)"
cli="$build/tarvik-cli_${version}_$arch.deb"
window="$build/tarvik-configurator_${version}_$arch.deb"
made="$(cd "$build" && ls ./*.deb | sed 's|^\./||' | tr '\n' ' ')"
[ "$made" = "$(basename "$cli") $(basename "$window") " ] ||
  { echo "FAIL: cpack made $made, not $(basename "$cli") and $(basename "$window")" >&2; exit 1; }

# dpkg-shlibdeps computed the dependencies: Qt Core is among them, so an empty list cannot pass.
cli_depends="$(dpkg-deb -f "$cli" Depends)"
echo "tarvik-cli Depends: $cli_depends"
grep -q 'libqt6core6' <<<"$cli_depends" || fail "tarvik-cli does not depend on Qt Core"
# Qt GUI is there for the chart module alone (setlist chart, sheet FILE.pdf); the program itself
# loads no GUI library, which test_install checks on the installed files.
if grep -qE 'libqt6(widgets|opengl)' <<<"$cli_depends"; then
  fail "tarvik-cli depends on Qt Widgets or OpenGL"
fi
window_depends="$(dpkg-deb -f "$window" Depends)"
echo "tarvik-configurator Depends: $window_depends"
grep -q 'libqt6widgets6' <<<"$window_depends" ||
  fail "tarvik-configurator does not depend on Qt Widgets"
grep -qF "tarvik-cli (= $version)" <<<"$window_depends" ||
  fail "tarvik-configurator does not depend on tarvik-cli $version"

for deb in "$cli" "$window"; do
  echo "lintian --display-info $(basename "$deb"):"
  lintian --display-info --fail-on error,warning "$deb" || fail "lintian on $(basename "$deb")"
done

if [ "$failures" -ne 0 ]; then
  echo "$failures failed" >&2
  exit 1
fi
echo "$(basename "$cli") and $(basename "$window"): lintian reports no error and no warning"
