#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the build into a temporary DESTDIR, as a packager does, and checks what lands there:
# exactly the programs with their manual pages, the desktop entry, both icons, the AppStream
# metadata and the .tvk file type, all accepted by the freedesktop validators, and programs that
# answer --version without a display. Each of the three install components (one Debian package
# each) must lay exactly its own share, and the command line's must need no Qt GUI library.
#
#   test_install.sh <builddir> <version> <module> <manpages ON|OFF> <program>...
#
# <module> is the window's platform module, relative to the prefix. tarvik-cli belongs to the
# component tarvik-cli, every other program to the component tarvik-configurator.
# TARVIK_INSTALLED_FILES lists the component tarvik-cli's other files (its MIDI and network
# modules and bash completion), TARVIK_PRINT_INSTALLED_FILES the component tarvik-cli-print's (the chart
# module), relative to the prefix and separated by colons.
set -euo pipefail

build="$1"
version="$2"
module="$3"
manpages="$4"
shift 4
programs=("$@")
app_id=de.tarvik_audio.TarvikConfigurator
mime_type=application/x-tarvik-config

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# install_into <destdir> [component]: installs, and lists the files under <destdir>/usr one per
# line, sorted, in <destdir>.list.
install_into() {
  local destdir="$1"
  shift
  local args=(--install "$build" --prefix /usr)
  [ $# -eq 0 ] || args+=(--component "$1")
  mkdir -p "$destdir"
  DESTDIR="$destdir" "${CMAKE:-cmake}" "${args[@]}" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log" >&2; echo "FAIL: cmake ${args[*]}" >&2; exit 1; }
  if [ "$(find "$destdir" -mindepth 1 -maxdepth 1)" != "$destdir/usr" ]; then
    fail "files outside the prefix: $(find "$destdir" -mindepth 1 -maxdepth 1 | sed "s|$destdir/||")"
  fi
  (cd "$destdir/usr" && find . ! -type d | sed 's|^\./||' | sort) >"$destdir.list"
}

# The files of one component; the programs come from the build's list. With "package" also the
# files that only the component's own install (CPack's) lays.
expected_files() {
  local component="$1" scope="${2:-}" p
  for p in tarvik-configurator "${programs[@]}"; do
    if { [ "$p" = tarvik-cli ] && [ "$component" = tarvik-cli ]; } ||
      { [ "$p" != tarvik-cli ] && [ "$component" = tarvik-configurator ]; }; then
      echo "bin/$p"
      [ "$manpages" != ON ] || echo "share/man/man1/$p.1.gz"
    fi
  done
  echo "share/doc/$component/copyright"
  if [ "$component" = tarvik-cli ]; then
    tr ':' '\n' <<<"${TARVIK_INSTALLED_FILES:-}" | sed '/^$/d'
  fi
  if [ "$component" = tarvik-cli-print ]; then
    tr ':' '\n' <<<"${TARVIK_PRINT_INSTALLED_FILES:-}" | sed '/^$/d'
  fi
  if [ "$scope" = package ]; then
    echo "share/doc/$component/changelog.Debian.gz"
    echo "share/lintian/overrides/$component"
  fi
  if [ "$component" = tarvik-configurator ]; then
    echo "$module"
    echo "share/applications/$app_id.desktop"
    echo "share/icons/hicolor/256x256/apps/$app_id.png"
    echo "share/icons/hicolor/scalable/apps/$app_id.svg"
    echo "share/metainfo/$app_id.metainfo.xml"
    echo "share/mime/packages/$app_id.xml"
  fi
}

compare() {
  local what="$1" expected="$2" installed="$3"
  if [ "$installed" != "$expected" ]; then
    fail "$what differs from the expected list (- expected, + installed):"
    diff <(echo "$expected") <(echo "$installed") | grep '^[<>]' | sed 's/^</-/; s/^>/+/' >&2 || true
  fi
}

# Every file in exactly one component: a rule without one would make a third package.
install_into "$work/all"
install_into "$work/cli" tarvik-cli
install_into "$work/print" tarvik-cli-print
install_into "$work/window" tarvik-configurator
installed="$(cat "$work/all.list")"
compare "the full install" \
  "$({ expected_files tarvik-cli; expected_files tarvik-cli-print
       expected_files tarvik-configurator; } | sort -u)" "$installed"
compare "the component tarvik-cli" "$(expected_files tarvik-cli package | sort -u)" \
  "$(cat "$work/cli.list")"
compare "the component tarvik-cli-print" "$(expected_files tarvik-cli-print package | sort -u)" \
  "$(cat "$work/print.list")"
compare "the component tarvik-configurator" "$(expected_files tarvik-configurator package | sort -u)" \
  "$(cat "$work/window.list")"
for tool in tarvik-sim tarvik-update-server; do
  if find "$work/all" -name "*$tool*" | grep -q .; then fail "$tool must not be installed"; fi
done
[ "$manpages" = ON ] || echo "note: configured without help2man, so no manual pages are expected"

# The command line's package is for a machine without a display: nothing it holds may load Qt's
# GUI (the chart module that does is the print package's). ldd lists what comes in indirectly
# as well.
while IFS= read -r -d '' object; do
  readelf -h "$object" >/dev/null 2>&1 || continue  # not ELF
  gui="$(ldd "$object" | grep -oE 'libQt6(Gui|Widgets|OpenGL)[^ ]*' || true)"
  [ -z "$gui" ] || fail "${object#"$work/cli/usr/"} of tarvik-cli loads Qt's GUI libraries: $(echo $gui)"
done < <(find "$work/cli/usr/bin" "$work/cli/usr/lib" -type f -print0 2>/dev/null)

root="$work/all/usr"
desktop="$root/share/applications/$app_id.desktop"
metainfo="$root/share/metainfo/$app_id.metainfo.xml"
mime="$root/share/mime/packages/$app_id.xml"
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
exec_line="$(sed -n 's/^Exec=//p' "$desktop")"
exec_name="${exec_line%% *}"
[ -x "$root/bin/$exec_name" ] || fail "Exec=$exec_name is not an installed program"
icon_name="$(sed -n 's/^Icon=//p' "$desktop")"
[ "$icon_name" = "$app_id" ] || fail "Icon=$icon_name is not the installed icon $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
  fail "the metadata does not launch $app_id.desktop"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metadata has no release $version"

# A file opened from the file manager reaches the program only if the entry handles its type
# and passes the file on.
[ "$exec_line" = "$exec_name %f" ] || fail "Exec=$exec_line does not pass the file (%f)"
grep -qE "^MimeType=(.*;)?$mime_type;" "$desktop" || fail "the desktop entry has no MimeType $mime_type"
grep -q "<mediatype>$mime_type</mediatype>" "$metainfo" || fail "the metadata provides no $mime_type"
# Every program the metadata offers is installed, and every installed one is offered.
provided="$(sed -n 's|.*<binary>\(.*\)</binary>.*|\1|p' "$metainfo" | sort)"
compare "the metadata's <binary> list" "$(cd "$root/bin" && ls | sort)" "$provided"

# The type as shared-mime-info reads it: its database, built from the installed file alone.
if command -v update-mime-database >/dev/null; then
  cp -r "$root/share/mime" "$work/mime"
  # It also notes, on success, that the folder is not one a desktop searches.
  verdict="$(update-mime-database "$work/mime" 2>&1)" ||
    fail "update-mime-database refuses $app_id.xml: $verdict"
  grep -qx "50:$mime_type:\*\.tvk" "$work/mime/globs2" || fail "no glob *.tvk for $mime_type"
  for lang in '' 'xml:lang="de"'; do
    grep -q "<comment${lang:+ $lang}>" "$work/mime/${mime_type}.xml" ||
      fail "the type has no comment${lang:+ in $lang}"
  done
else
  fail "update-mime-database is missing (shared-mime-info)"
fi

# Installed straight into a prefix, the file type is registered at once: the caches a desktop
# reads name the type and the program that opens it.
if command -v update-mime-database >/dev/null && command -v update-desktop-database >/dev/null; then
  live="$work/live"
  "${CMAKE:-cmake}" --install "$build" --prefix "$live" --component tarvik-configurator \
    >"$work/install.log" 2>&1 || { cat "$work/install.log" >&2; fail "install into $live"; }
  grep -qx "50:$mime_type:\*\.tvk" "$live/share/mime/globs2" 2>/dev/null ||
    fail "a live install leaves $mime_type out of the mime database"
  grep -qx "$mime_type=$app_id.desktop;" "$live/share/applications/mimeinfo.cache" 2>/dev/null ||
    fail "a live install leaves $app_id.desktop out of mimeinfo.cache"
fi

# The Debian changelog is compressed without a name or a time, so that packages are reproducible:
# gzip's flags byte and its four time bytes are zero.
for install in "cli tarvik-cli" "print tarvik-cli-print" "window tarvik-configurator"; do
  read -r folder component <<<"$install"
  changelog="$work/$folder/usr/share/doc/$component/changelog.Debian.gz"
  header="$(od -An -tu1 -j3 -N5 "$changelog" | tr -s ' ')"
  [ "$header" = " 0 0 0 0 0" ] || fail "$component's changelog.Debian.gz has a name or a time"
done

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
  if [ "$manpages" = ON ]; then
    zcat "$root/share/man/man1/$p.1.gz" | grep -q "^$p \\\\- " ||
      fail "the manual page of $p has no NAME line"
  fi
done

# The window loads its module by a path relative to its own folder, written into the program.
from_bindir="$(grep -ao '[^[:cntrl:]"]*tarvik-platform\.so' "$root/bin/tarvik-configurator" | head -n 1)"
[ -n "$from_bindir" ] || fail "tarvik-configurator names no platform module"
[ -f "$root/bin/$from_bindir" ] ||
  fail "tarvik-configurator looks for its module at bin/$from_bindir, which is not installed"
missing="$(ldd "$root/$module" | grep 'not found' || true)"
[ -z "$missing" ] || fail "the platform module needs libraries that are not there: $missing"

# tarvik-cli likewise finds its network module (flash --from-server) and its chart module
# (setlist chart) from its own folder.
if [ -x "$root/bin/tarvik-cli" ]; then
  for kind in network chart; do
    from_bindir="$(grep -ao "[^[:cntrl:]\"]*tarvik-cli-$kind\\.so" "$root/bin/tarvik-cli" | head -n 1)"
    [ -n "$from_bindir" ] || fail "tarvik-cli names no $kind module"
    [ -f "$root/bin/$from_bindir" ] ||
      fail "tarvik-cli looks for its $kind module at bin/$from_bindir, which is not installed"
    missing="$(ldd "$root/bin/$from_bindir" 2>/dev/null | grep 'not found' || true)"
    [ -z "$missing" ] || fail "the $kind module needs libraries that are not there: $missing"
  done
fi

# lintian refuses a program or a library that does not name libc among the libraries it needs.
# A module that calls nothing of libc itself loses it to the toolchain's --as-needed, unless the
# sanitizers' runtime, which needs libc, is linked as well.
while IFS= read -r -d '' object; do
  readelf -h "$object" >/dev/null 2>&1 || continue  # not ELF
  readelf -d "$object" | grep -qF 'Shared library: [libc.so.6]' ||
    fail "${object#"$root"/} does not name libc.so.6 among the libraries it needs"
done < <(find "$root/bin" "$root/lib" -type f -print0)

if [ "$failures" -ne 0 ]; then
  echo "$failures failed" >&2
  exit 1
fi
echo "installed $(wc -l <<<"$installed") files as expected, in three components"
