#!/usr/bin/env bash
# The Windows build: zavor.dll and zavor.exe for 32-bit Windows, cross-built
# with mingw-w64. build-windows.sh [BUILD_DIR] [extra CMake arguments...]
# (default build-windows). Runs as root (or through sudo): installs what is
# missing, then builds the libraries ZAVOR needs from Debian 12's source
# packages into a prefix outside the clone, which later builds reuse while
# the versions stay the same (ZAVOR_MINGW_CACHE, default /var/cache/zavor).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-windows}
shift || true
cache=${ZAVOR_MINGW_CACHE:-/var/cache/zavor}
jobs=${ZAVOR_JOBS:-$(nproc)}
toolchain=$root/cmake/mingw-i686.cmake
triple=i686-w64-mingw32
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# --- packages ---------------------------------------------------------------
# wine32 needs the i386 architecture. Adding it upgrades some amd64 packages
# to versions that have an i386 twin, so it comes before any other install.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "adding the i386 architecture"
  $sudo dpkg --add-architecture i386
  $sudo apt-get update -qq
fi
bash "$root/scripts/setup.sh" "$root/scripts/packages-windows.txt"

# --- source packages --------------------------------------------------------
# apt-get source reads deb-src entries from lists of our own, so the
# system's apt configuration stays as it is.
apt_dir=$cache/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/parts" "$cache/sources"
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
{
  for suite in bookworm bookworm-updates; do
    echo "deb-src [signed-by=$keyring] http://deb.debian.org/debian $suite main"
  done
  echo "deb-src [signed-by=$keyring] http://deb.debian.org/debian-security bookworm-security main"
} > "$apt_dir/sources.list"
apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/parts"
             -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache")
if ! apt-get "${apt_options[@]}" update -qq; then
  ls "$apt_dir/lists"/*Sources* >/dev/null 2>&1 || { echo "cannot read the source package lists" >&2; exit 1; }
  echo "the source package lists cannot be updated; using the ones from before"
fi

# Versions of a source package, newest first.
versions() {
  local list=() version i j
  while read -r version; do
    [[ " ${list[*]} " == *" $version "* ]] || list+=("$version")
  done < <(apt-cache "${apt_options[@]}" showsrc "$1" | sed -n 's/^Version: //p')
  for ((i = 0; i < ${#list[@]}; i++)); do
    for ((j = i + 1; j < ${#list[@]}; j++)); do
      if dpkg --compare-versions "${list[j]}" gt "${list[i]}"; then
        version=${list[i]}; list[i]=${list[j]}; list[j]=$version
      fi
    done
  done
  printf '%s\n' "${list[@]}"
}

# Fetches (once) and unpacks a source package into $cache/sources; the
# newest version when it can be downloaded, else the one before it.
# Sets source_dir and source_version.
fetch_source() {
  local package=$1 candidates version folder
  mapfile -t candidates < <(versions "$package" | head -n 2)
  [ ${#candidates[@]} -gt 0 ] || { echo "no source package $package" >&2; exit 1; }
  for version in "${candidates[@]}"; do
    folder=$cache/sources/${package}_${version#*:}
    if [ ! -f "$folder/.unpacked" ]; then
      rm -rf "$folder" && mkdir -p "$folder"
      if ! (cd "$folder" && apt-get "${apt_options[@]}" source -qq "$package=$version" >/dev/null 2>"$folder/.log"); then
        echo "$package $version cannot be downloaded; falling back to the previous version"
        rm -rf "$folder"
        continue
      fi
      touch "$folder/.unpacked"
    fi
    source_version=${version#*:}
    source_dir=$(find "$folder" -mindepth 1 -maxdepth 1 -type d | head -n 1)
    return 0
  done
  echo "no version of $package can be downloaded" >&2
  exit 1
}

packages=(pugixml libpng1.6 libjpeg-turbo giflib tiff freetype googletest)
declare -A dirs
name=mingw-gcc$("$triple-gcc-posix" -dumpversion)
for package in "${packages[@]}"; do
  fetch_source "$package"
  dirs[$package]=$source_dir
  name+="-${package}_${source_version}"
done
prefix=$cache/$name

# --- libraries --------------------------------------------------------------
# Static, for i686, with only what ZAVOR uses: no programs, tests or
# documentation, and no optional codecs beyond zlib and JPEG.
cmake_library() {
  local source=$1; shift
  local work=$cache/work/$(basename "$source")
  rm -rf "$work" && mkdir -p "$cache/work"
  cmake -S "$source" -B "$work" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DZAVOR_MINGW_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_PREFIX_PATH="$prefix" -DBUILD_SHARED_LIBS=OFF "$@" >"$work.log" 2>&1 \
    || { tail -n 40 "$work.log"; exit 1; }
  cmake --build "$work" -j "$jobs" >>"$work.log" 2>&1 || { tail -n 40 "$work.log"; exit 1; }
  cmake --install "$work" >>"$work.log" 2>&1 || { tail -n 40 "$work.log"; exit 1; }
  rm -rf "$work" "$work.log"
}

# giflib has only a Makefile for Unix; its library is eight C files.
giflib_library() {
  local source=$1 work=$cache/work/giflib
  rm -rf "$work" && mkdir -p "$work" "$prefix/lib/pkgconfig" "$prefix/include"
  local file objects=()
  for file in dgif_lib egif_lib gifalloc gif_err gif_font gif_hash openbsd-reallocarray quantize; do
    "$triple-gcc-posix" -O2 -msse2 -mfpmath=sse -c "$source/$file.c" -o "$work/$file.o"
    objects+=("$work/$file.o")
  done
  "$triple-ar" rcs "$prefix/lib/libgif.a" "${objects[@]}"
  cp "$source/gif_lib.h" "$prefix/include/"
  local version
  version=$(sed -n 's/^#define GIFLIB_\(MAJOR\|MINOR\|RELEASE\) *\([0-9]*\).*/\2/p' "$source/gif_lib.h" | paste -sd.)
  printf 'prefix=%s\nName: libgif\nDescription: GIF library\nVersion: %s\nLibs: -L${prefix}/lib -lgif\nCflags: -I${prefix}/include\n' \
    "$prefix" "$version" > "$prefix/lib/pkgconfig/libgif.pc"
  rm -rf "$work"
}

if [ ! -f "$prefix/.complete" ]; then
  echo "building the libraries for $triple into $prefix"
  start=$SECONDS
  rm -rf "$prefix"
  cmake_library "${dirs[pugixml]}" -DPUGIXML_BUILD_TESTS=OFF
  cmake_library "${dirs[libpng1.6]}" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_PROGRAMS=ON
  cmake_library "${dirs[libjpeg-turbo]}" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF \
    -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF
  giflib_library "${dirs[giflib]}"
  cmake_library "${dirs[tiff]}" -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF \
    -Dcxx=OFF -Dzlib=ON -Djpeg=ON -Dold-jpeg=OFF -Djpeg12=OFF -Djbig=OFF -Dlerc=OFF -Dlzma=OFF \
    -Dzstd=OFF -Dwebp=OFF -Dlibdeflate=OFF -Dpixarlog=OFF
  cmake_library "${dirs[freetype]}" -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
  cmake_library "${dirs[googletest]}" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
  rm -rf "$cache/work"
  touch "$prefix/.complete"
  echo "libraries built in $((SECONDS - start)) s"
fi

# --- ZAVOR ------------------------------------------------------------------
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DZAVOR_MINGW_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" "${launcher[@]}" "$@" >/dev/null
cmake --build "$build" -j "$jobs" --target zavor zavor_host ${ZAVOR_WINDOWS_TARGETS:-}
echo "built $build/bin/zavor.dll and $build/bin/zavor.exe"
