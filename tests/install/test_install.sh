#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the build into a temporary DESTDIR, as a packager does, and checks what lands there:
# exactly the programs with their manual pages, the desktop entry, both icons and the AppStream
# metadata, all accepted by the freedesktop validators, and programs that answer --version
# without a display.
#
#   test_install.sh <builddir> <version> <module> <program>...
#
# <module> is the window's platform module, relative to the prefix. TARVIK_INSTALLED_FILES lists
# other expected files, relative to the prefix and separated by colons.
set -euo pipefail

build="$1"
version="$2"
module="$3"
shift 3
programs=("$@")
app_id=de.tarvik_audio.TarvikConfigurator

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

destdir="$(mktemp -d)"
trap 'rm -rf "$destdir"' EXIT
DESTDIR="$destdir" "${CMAKE:-cmake}" --install "$build" --prefix /usr >"$destdir.log" 2>&1 ||
  { cat "$destdir.log" >&2; rm -f "$destdir.log"; echo "FAIL: cmake --install" >&2; exit 1; }
rm -f "$destdir.log"
root="$destdir/usr"

# The configurator is always installed, whatever else the program list holds.
expected="$(
  for p in tarvik-configurator "${programs[@]}"; do
    echo "bin/$p"
    echo "share/man/man1/$p.1.gz"
  done
  echo "$module"
  tr ':' '\n' <<<"${TARVIK_INSTALLED_FILES:-}" | sed '/^$/d'
  echo "share/applications/$app_id.desktop"
  echo "share/icons/hicolor/256x256/apps/$app_id.png"
  echo "share/icons/hicolor/scalable/apps/$app_id.svg"
  echo "share/metainfo/$app_id.metainfo.xml"
)"
expected="$(sort -u <<<"$expected")"
installed="$(cd "$root" && find . ! -type d | sed 's|^\./||' | sort)"
if [ "$(find "$destdir" -mindepth 1 -maxdepth 1)" != "$root" ]; then
  fail "files outside the prefix: $(find "$destdir" -mindepth 1 -maxdepth 1 | sed "s|$destdir/||")"
fi
if [ "$installed" != "$expected" ]; then
  fail "installed files differ from the expected list (- expected, + installed):"
  diff <(echo "$expected") <(echo "$installed") | grep '^[<>]' | sed 's/^</-/; s/^>/+/' >&2 || true
fi
for tool in tarvik-sim tarvik-update-server; do
  if find "$root" -name "*$tool*" | grep -q .; then fail "$tool must not be installed"; fi
done

desktop="$root/share/applications/$app_id.desktop"
metainfo="$root/share/metainfo/$app_id.metainfo.xml"
echo "desktop-file-validate $app_id.desktop:"
# It exits 0 on errors that it calls "fatal in the future"; a clean file prints nothing.
verdict="$(desktop-file-validate "$desktop" 2>&1)" || fail "desktop-file-validate"
if [ -n "$verdict" ]; then
  echo "$verdict"
  if grep -qE 'error|warning' <<<"$verdict"; then fail "desktop-file-validate reports problems"; fi
fi
echo "appstreamcli validate --no-net $app_id.metainfo.xml:"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"

# The menu entry must start an installed program and show an installed icon.
exec_name="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")"
[ -x "$root/bin/$exec_name" ] || fail "Exec=$exec_name is not an installed program"
icon_name="$(sed -n 's/^Icon=//p' "$desktop")"
[ "$icon_name" = "$app_id" ] || fail "Icon=$icon_name is not the installed icon $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
  fail "the metadata does not launch $app_id.desktop"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metadata has no release $version"

# The hicolor theme files icons by size: the PNG in 256x256 must be 256 by 256 pixels.
png="$root/share/icons/hicolor/256x256/apps/$app_id.png"
size="$(od -An -tu1 -j16 -N8 "$png" | tr -s ' ' | sed 's/^ //')"
[ "$size" = "0 0 1 0 0 0 1 0" ] || fail "$app_id.png is not 256 x 256 (IHDR size bytes: $size)"

# No display at all: --version and --help must still answer, as help2man needs at build time.
for p in tarvik-configurator "${programs[@]}"; do
  answer="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/bin/$p" --version)" ||
    fail "$p --version failed"
  [ "$answer" = "$p $version" ] || fail "$p --version printed '$answer', not '$p $version'"
  help="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/bin/$p" --help)" ||
    fail "$p --help failed"
  grep -q -- '--version' <<<"$help" || fail "$p --help does not list --version"
  zcat "$root/share/man/man1/$p.1.gz" | grep -q "^$p \\\\- " || fail "the manual page of $p has no NAME line"
done

# The window loads its module by a path relative to its own folder, written into the program.
from_bindir="$(grep -ao '[^[:cntrl:]"]*tarvik-platform\.so' "$root/bin/tarvik-configurator" | head -n 1)"
[ -n "$from_bindir" ] || fail "tarvik-configurator names no platform module"
[ -f "$root/bin/$from_bindir" ] ||
  fail "tarvik-configurator looks for its module at bin/$from_bindir, which is not installed"
missing="$(ldd "$root/$module" | grep 'not found' || true)"
[ -z "$missing" ] || fail "the platform module needs libraries that are not there: $missing"

# tarvik-cli likewise finds its network module (flash --from-server) from its own folder.
if [ -x "$root/bin/tarvik-cli" ]; then
  from_bindir="$(grep -ao '[^[:cntrl:]"]*tarvik-cli-network\.so' "$root/bin/tarvik-cli" | head -n 1)"
  [ -n "$from_bindir" ] || fail "tarvik-cli names no network module"
  [ -f "$root/bin/$from_bindir" ] ||
    fail "tarvik-cli looks for its network module at bin/$from_bindir, which is not installed"
  missing="$(ldd "$root/bin/$from_bindir" 2>/dev/null | grep 'not found' || true)"
  [ -z "$missing" ] || fail "the network module needs libraries that are not there: $missing"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures failed" >&2
  exit 1
fi
echo "installed $(wc -l <<<"$installed") files as expected"
