#!/usr/bin/env bash
# Builds Qt 6.4.2 base for 64-bit Windows (Core, Gui, Widgets, Test and the
# Windows platform plugin) from Debian's qt6-base source package with
# MinGW-w64, into a cache folder outside the source tree:
#   ${QUARNDB_CACHE:-$HOME/.cache/quarndb}/qt-mingw
# The host tools (moc, rcc, uic) are Debian's own Qt 6.4.2. Takes a while.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cache=${QUARNDB_CACHE:-$HOME/.cache/quarndb}
prefix=$cache/qt-mingw
version=6.4.2
jobs=${JOBS:-$(nproc)}
mkdir -p "$cache"

if [ -f "$prefix/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake" ]; then
  echo "Qt for Windows is already in $prefix"
  exit 0
fi

bash "$root/tools/install-packages.sh" dpkg-dev cmake ninja-build qt6-base-dev qt6-base-dev-tools \
  mingw-w64 g++-mingw-w64-x86-64 libz-mingw-w64

src=$cache/qt6-base-$version+dfsg
if [ ! -d "$src" ]; then
  # apt-get source needs a deb-src entry: the machine's own Debian entries,
  # same addresses and suites, as source entries.
  list=/etc/apt/sources.list.d/quarndb-deb-src.sources
  if ! apt-get source --print-uris "qt6-base=$version+dfsg-10" >/dev/null 2>&1; then
    SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed -n '/^Types:/,$p' /etc/apt/sources.list.d/debian.sources |
        sed 's/^Types: .*/Types: deb-src/' | $SUDO tee "$list" >/dev/null
    else
      grep -h '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
        $SUDO tee /etc/apt/sources.list.d/quarndb-deb-src.list >/dev/null
    fi
    $SUDO apt-get update -qq
  fi
  (cd "$cache" && apt-get source -qq "qt6-base=$version+dfsg-10")
  [ -d "$src" ] || { echo "apt-get source did not unpack $src" >&2; exit 1; }
fi

build=$cache/qt-mingw-build
# Debian's source leaves out wintab, so no tablet events; the Windows
# platform plugin of 6.4.2 needs OpenGL (dynamic); Debian's host rcc must
# then be told --no-zstd when building the editor.
cmake -S "$src" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DQUARNDB_NO_EMULATOR=ON \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=ON \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DFEATURE_testlib=ON \
  -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_icu=OFF -DFEATURE_zstd=OFF \
  -DFEATURE_opengl=ON -DINPUT_opengl=desktop -DFEATURE_tabletevent=OFF
cmake --build "$build" -j "$jobs"
cmake --install "$build"
echo "Qt for Windows installed in $prefix"
