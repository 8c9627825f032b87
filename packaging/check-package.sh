#!/usr/bin/env bash
# Builds the Debian package from a finished build and checks what a player
# installs: the programs stripped and answering --version with the build's
# version, the sample generator and quarndb-cli working from the unpacked
# tree, the menu entry and AppStream metainfo valid, the manual pages
# rendering cleanly and the icon at every size. Prints the package's sizes.
# Needs no display.
# Usage: packaging/check-package.sh [BUILD_DIR]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
started=$(date +%s)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "no project version in $build/CMakeCache.txt" >&2; exit 1; }
(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/package" >"$scratch/cpack.log" 2>&1) ||
  { cat "$scratch/cpack.log" >&2; exit 1; }
deb=$scratch/package/quarndb_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "FAIL: no $(basename "$deb") (made: $(ls "$scratch/package"))" >&2; exit 1; }
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "package version is not $version"
installed=$(dpkg-deb --field "$deb" Installed-Size)
packed=$(($(stat -c %s "$deb") / 1024))
# Stripped, the three programs and their files take about 2 MB; the debug
# information alone is 47 MB.
[ "$installed" -lt 8000 ] || fail "installs $installed KB: are the programs stripped?"

tree=$scratch/root
dpkg-deb -x "$deb" "$tree"
usr=$tree/usr
for program in quarndb quarndb-cli quarndb-sample; do
  file -L "$usr/bin/$program" | grep -q ', stripped' || fail "$program is not stripped"
done

# The programs that need no display, run from the unpacked tree.
for program in quarndb-cli quarndb-sample; do
  out=$("$usr/bin/$program" --version) || fail "$program --version failed"
  [ "$out" = "$program $version" ] || fail "$program --version says '$out', not '$program $version'"
  "$usr/bin/$program" --help >/dev/null || fail "$program --help failed"
done
for command in info check export search find refs diff apply merge set import recover; do
  "$usr/bin/quarndb-cli" "$command" --help >/dev/null || fail "quarndb-cli $command --help failed"
done
"$usr/bin/quarndb-sample" "$scratch/game" --scale 0.05 >/dev/null || fail "quarndb-sample failed"
out=$("$usr/bin/quarndb-cli" check "$scratch/game") || fail "quarndb-cli check of the sample failed"
[ "$out" = "No problems found." ] || fail "quarndb-cli check of the sample says: $out"

# The desktop's and software centres' files.
entry=$usr/share/applications/quarndb.desktop
out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate has remarks: $out"
grep -qx 'Icon=quarndb' "$entry" || fail "the menu entry does not name the icon by its theme name"
metainfo=$usr/share/metainfo/org.example.quarndb.metainfo.xml
out=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo's release is not $version"
grep -q '<screenshot type="default">' "$metainfo" || fail "the metainfo has no screenshot"
for size in 16 32 48 64 128 256; do
  file "$usr/share/icons/hicolor/${size}x${size}/apps/quarndb.png" | grep -q "PNG image data, $size x $size" ||
    fail "no ${size}x${size} icon"
done
[ -f "$usr/share/icons/hicolor/scalable/apps/quarndb.svg" ] || fail "no scalable icon"

# The manual pages: present, and groff has nothing to say about them.
for program in quarndb-cli quarndb-sample; do
  page=$usr/share/man/man1/$program.1.gz
  [ -f "$page" ] || { fail "no manual page for $program"; continue; }
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$program.1: $warnings"
  zcat "$page" | grep -q "$program $version" || fail "$program.1 does not carry version $version"
done

debug=""
for ddeb in "$scratch"/package/*.ddeb; do
  [ -f "$ddeb" ] && debug=", debug symbols apart in $(basename "$ddeb") ($(($(stat -c %s "$ddeb") / 1024)) KB)"
done
elapsed=$(($(date +%s) - started))
echo "$(basename "$deb"): $installed KB installed, $packed KB packed$debug; checked in $elapsed s, $failures failures"
[ "$failures" -eq 0 ]
