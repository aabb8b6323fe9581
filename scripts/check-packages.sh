#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the three Debian packages with the README's own commands, so that what it checks is
# what a reader of the README gets, and checks them: cpack makes exactly tarvik-cli,
# tarvik-cli-print and tarvik-configurator; the command line's package depends on no Qt GUI
# library and only suggests tarvik-cli-print, which holds the chart module (the one part that
# draws with Qt GUI) and depends on tarvik-cli; the window's depends on both; and lintian finds
# no error and no warning in any of them (its notes are printed). Packing and linting take about two minutes here, too long for every test run, so
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
print="$build/tarvik-cli-print_${version}_$arch.deb"
window="$build/tarvik-configurator_${version}_$arch.deb"
packages=("$cli" "$print" "$window")
# Both lists in one order, whatever the locale's.
made="$(cd "$build" && ls ./*.deb | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' ')"
expected="$(for deb in "${packages[@]}"; do basename "$deb"; done | LC_ALL=C sort | tr '\n' ' ')"
[ "$made" = "$expected" ] || { echo "FAIL: cpack made $made, not $expected" >&2; exit 1; }

# dpkg-shlibdeps computed the dependencies: Qt Core is among them, so an empty list cannot pass.
cli_depends="$(dpkg-deb -f "$cli" Depends)"
echo "tarvik-cli Depends: $cli_depends"
grep -q 'libqt6core6' <<<"$cli_depends" || fail "tarvik-cli does not depend on Qt Core"
# A machine without a display installs tarvik-cli alone: no Qt GUI, nor what it would bring in
# (the X, OpenGL and font libraries). The chart module that draws with it is tarvik-cli-print's.
if grep -qE 'libqt6(gui|widgets|opengl|printsupport)' <<<"$cli_depends"; then
  fail "tarvik-cli depends on a Qt GUI library"
fi
if grep -qF 'tarvik-cli-print' <<<"$cli_depends"; then
  fail "tarvik-cli depends on tarvik-cli-print, which it should only suggest"
fi
cli_suggests="$(dpkg-deb -f "$cli" Suggests)"
echo "tarvik-cli Suggests: $cli_suggests"
grep -qxF 'tarvik-cli-print' <<<"$cli_suggests" || fail "tarvik-cli does not suggest tarvik-cli-print"
# The module is the print package's alone. (The lists are read whole first: grep -q stopping
# early would make a pipeline's writer fail under pipefail.)
cli_files="$(dpkg-deb -c "$cli")"
print_files="$(dpkg-deb -c "$print")"
if grep -q 'tarvik-cli-chart\.so' <<<"$cli_files"; then
  fail "tarvik-cli holds the chart module"
fi
print_depends="$(dpkg-deb -f "$print" Depends)"
echo "tarvik-cli-print Depends: $print_depends"
grep -q 'libqt6gui6' <<<"$print_depends" || fail "tarvik-cli-print does not depend on Qt GUI"
grep -qF "tarvik-cli (= $version)" <<<"$print_depends" ||
  fail "tarvik-cli-print does not depend on tarvik-cli $version"
grep -q 'tarvik-cli/tarvik-cli-chart\.so$' <<<"$print_files" ||
  fail "tarvik-cli-print does not hold the chart module"
window_depends="$(dpkg-deb -f "$window" Depends)"
echo "tarvik-configurator Depends: $window_depends"
grep -q 'libqt6widgets6' <<<"$window_depends" ||
  fail "tarvik-configurator does not depend on Qt Widgets"
for package in tarvik-cli tarvik-cli-print; do
  grep -qF "$package (= $version)" <<<"$window_depends" ||
    fail "tarvik-configurator does not depend on $package $version"
done

for deb in "${packages[@]}"; do
  echo "lintian --display-info $(basename "$deb"):"
  lintian --display-info --fail-on error,warning "$deb" || fail "lintian on $(basename "$deb")"
done

if [ "$failures" -ne 0 ]; then
  echo "$failures failed" >&2
  exit 1
fi
echo "${expected% }: lintian reports no error and no warning"
