#!/bin/sh
# Installs the build into a temporary prefix, then builds the Debian package
# and unpacks it into a scratch root, and checks each tree: every shipped
# file is there, the menu entry names the launcher of its own tree, and the
# launcher starts the editor in the folder that holds wizard.quarn and the
# notes. A copy of the installed tree moved elsewhere must start the same way.
#
#   install-test.sh BUILD_DIR
set -eu
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The files every tree holds under its prefix.
check_tree() {
  prefix=$1
  for f in bin/quarndb bin/quarndb-start bin/quarndb-cli bin/quarndb-sample \
           share/quarndb/wizard.quarn share/quarndb/quarndb.txt \
           share/applications/quarndb.desktop share/icons/hicolor/scalable/apps/quarndb.svg \
           share/icons/hicolor/32x32/apps/quarndb.png share/doc/quarndb/README.md; do
    [ -e "$prefix/$f" ] || fail "$prefix/$f missing"
  done
}

# The menu entry's launcher is `expected`, and its icon exists under `root`:
# by its path, or by its name in the icon theme of a /usr install.
check_entry() {
  entry=$1 expected=$2 root=$3
  exec_line=$(grep '^Exec=' "$entry" | cut -d= -f2-)
  [ "$exec_line" = "$expected" ] || fail "$entry starts '$exec_line', not '$expected'"
  icon=$(grep '^Icon=' "$entry" | cut -d= -f2-)
  case $icon in
    /*) path=$root$icon ;;
    *) path=$root/usr/share/icons/hicolor/scalable/apps/$icon.svg ;;
  esac
  [ -f "$path" ] || fail "$entry names icon $icon, missing under '$root'"
}

# Starts the launcher and reads the folder the editor runs in.
check_launcher() {
  launcher=$1 data=$2
  QT_QPA_PLATFORM=offscreen WINEPREFIX="$scratch/no-prefix" "$launcher" >/dev/null 2>&1 &
  pid=$!
  cwd=""
  for _ in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do
    if [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" != "$(readlink -f "$(dirname "$launcher")/quarndb")" ]; then
      sleep 0.1
      continue
    fi
    cwd=$(readlink "/proc/$pid/cwd")
    break
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  [ "$cwd" = "$(readlink -f "$data")" ] || fail "$launcher started the editor in '$cwd', not $data"
}

# 1. An install into a temporary prefix, then the same tree moved.
prefix="$scratch/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
check_tree "$prefix"
check_entry "$prefix/share/applications/quarndb.desktop" "$prefix/bin/quarndb-start" ""
check_launcher "$prefix/bin/quarndb-start" "$prefix/share/quarndb"
mv "$prefix" "$scratch/moved"
check_launcher "$scratch/moved/bin/quarndb-start" "$scratch/moved/share/quarndb"

# 2. The Debian package, unpacked into a scratch root.
(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/package" >/dev/null)
deb=$(ls "$scratch"/package/*.deb)
dpkg-deb --field "$deb" Package Depends | grep -q '^Package: quarndb$' || fail "package name"
dpkg-deb --field "$deb" Depends | grep -q 'libqt6widgets6' || fail "package does not depend on Qt Widgets"
root="$scratch/root"
dpkg-deb -x "$deb" "$root"
check_tree "$root/usr"
check_entry "$root/usr/share/applications/quarndb.desktop" /usr/bin/quarndb-start "$root"
check_launcher "$root/usr/bin/quarndb-start" "$root/usr/share/quarndb"
echo "install and package: fine"
