#!/usr/bin/env bash
# Cross-builds static libjpeg (libjpeg-turbo, libjpeg 6b API, without its SIMD code)
# and libpng16 (against the MinGW zlib) for i686-w64-mingw32 and installs them into
# PREFIX. The sources are Debian's own source packages, Debian's patches applied, so
# the installer gets the same security fixes as the distribution's libraries, at the
# exact versions pinned in tools/cross-deps-versions.txt.
#   tools/build-cross-deps.sh [--pins FILE] PREFIX   build (FILE: other pins)
#   tools/build-cross-deps.sh --pin                  pin the newest versions apt lists
# Idempotent: a stamp in PREFIX makes a repeated run return at once; the stamp is
# keyed on this script, the pins, the toolchain file and the libpng options, so
# changing any of them rebuilds.
set -euo pipefail

readonly triplet=i686-w64-mingw32
repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
readonly repo_root
readonly toolchain=$repo_root/cmake/mingw-i686.cmake
readonly pinned_versions=$repo_root/tools/cross-deps-versions.txt
readonly packages=(libjpeg-turbo libpng1.6)
pins=$pinned_versions
prefix=
stamp=
work=
src_dir=
bld_dir=
log=/dev/null

die() {
  echo "build-cross-deps: error: $*" >&2
  exit 1
}

# On any failed run, show the end of the log that holds the tools' output.
on_exit() {
  local rc=$?
  if [ "$rc" -ne 0 ] && [ -s "$log" ]; then
    echo "build-cross-deps: failed; last lines of $log:" >&2
    tail -n 30 "$log" >&2
  fi
  return "$rc"
}

# Progress goes to stderr: stdout of some functions carries their result.
step() { echo "build-cross-deps: $*" >&2; }

# Quiet commands keep their output in the log; its end is shown on failure.
logged() { "$@" >>"$log" 2>&1 || die "'$*' failed"; }

stamp_key() {
  cat "${BASH_SOURCE[0]}" "$pins" "$toolchain" "$repo_root/tools/libpng-read-only.dfa" | sha256sum | cut -d' ' -f1
}

is_up_to_date() {
  [ -f "$stamp" ] && [ "$(head -n 1 "$stamp")" = "$(stamp_key)" ]
}

check_tools() {
  local t missing=()
  for t in ${triplet}-gcc-win32 ${triplet}-g++-win32 cmake ninja apt-get apt-cache dpkg-source awk; do
    command -v "$t" >/dev/null 2>&1 || missing+=("$t")
  done
  [ ${#missing[@]} -eq 0 ] || die "missing tools: ${missing[*]} (run tools/setup-machine.sh)"
  [ -f "/usr/$triplet/lib/libz.a" ] || die "/usr/$triplet/lib/libz.a not found (install libz-mingw-w64-dev)"
  [ -f "$toolchain" ] || die "toolchain file $toolchain not found"
}

# Versions of a source package known to apt, newest first.
source_versions() {
  apt-cache showsrc --only-source "$1" 2>/dev/null | awk '/^Version:/ {print $2}' | sort -u -r -V
}

# The SHA-256 of the .dsc of PKG at VERSION, as apt lists it.
listed_dsc_sha256() {
  local pkg=$1 version=$2
  apt-cache showsrc --only-source "$pkg" 2>/dev/null | awk -v version="$version" '
    /^Version:/ { current = $2 }
    /^Checksums-Sha256:/ { in_sums = 1; next }
    /^[^ ]/ { in_sums = 0 }
    in_sums && current == version && $3 ~ /\.dsc$/ { print $1; exit }'
}

# "VERSION SHA256" of PKG in the pins file.
pinned() {
  awk -v pkg="$1" '$1 == pkg { print $2, $3; found = 1 } END { exit !found }' "$pins" ||
    die "$pins pins no version of $1"
}

# Stops unless apt lists the pinned version of PKG with the pinned checksum; before
# anything is downloaded or removed, so a machine that cannot build leaves the
# last build as it was.
check_pin_available() {
  local pkg=$1 version sha listed offered
  read -r version sha < <(pinned "$pkg")
  listed=$(listed_dsc_sha256 "$pkg" "$version")
  if [ -z "$listed" ]; then
    offered=$(source_versions "$pkg" | paste -sd ' ')
    die "$pkg $version is pinned in $pins, but apt offers ${offered:-no version of it}." \
      "Run 'apt-get update' if the pin is new; to move to apt's newest version, run" \
      "'tools/build-cross-deps.sh --pin' and commit the file."
  fi
  [ "$listed" = "$sha" ] ||
    die "$pkg $version: apt lists the .dsc with SHA-256 $listed, but $pins pins $sha"
}

# Downloads PKG's pinned .dsc, upstream tarball and Debian patches into the current
# folder and checks the .dsc against the pin (dpkg-source checks the rest against
# the .dsc); prints the version.
download_source() {
  local pkg=$1 version sha dsc
  read -r version sha < <(pinned "$pkg")
  apt-get source --download-only "$pkg=$version" >>"$log" 2>&1 ||
    die "could not download the Debian source of $pkg $version (see $log)"
  dsc=${pkg}_${version#*:}.dsc
  [ "$(sha256sum "$dsc" | cut -d' ' -f1)" = "$sha" ] || die "$dsc does not match its pinned SHA-256 $sha"
  echo "$version"
}

# Fetches and unpacks PKG with Debian's patches applied; prints the source folder.
fetch_source() {
  local pkg=$1 version dsc
  local dl=$src_dir/$pkg
  mkdir -p "$dl"
  version=$(cd "$dl" && download_source "$pkg")
  dsc=$dl/${pkg}_${version#*:}.dsc
  (cd "$dl" && logged dpkg-source -x "$dsc" "$dl/tree")
  step "$pkg $version unpacked"
  echo "$version" >"$dl/version"
  echo "$dl/tree"
}

# Rewrites the pins with the newest version of each package that apt lists.
pin_newest_versions() {
  local pkg version
  {
    sed -n '/^#/p' "$pinned_versions"
    for pkg in "${packages[@]}"; do
      version=$(source_versions "$pkg" | head -n 1)
      [ -n "$version" ] || die "apt lists no source of $pkg (deb-src entries and 'apt-get update' needed)"
      echo "$pkg $version $(listed_dsc_sha256 "$pkg" "$version")"
    done
  } >"$pinned_versions.new"
  mv "$pinned_versions.new" "$pinned_versions"
  step "pinned in $pinned_versions:"
  sed '/^#/d' "$pinned_versions" >&2
}

cmake_configure() {
  local source=$1 build=$2
  shift 2
  # No emulator: nothing in these builds is run, so Wine stays out of it. Built for
  # size: the installer decodes a handful of small pictures. A section per
  # function, and no unwind tables (C code that reports errors by longjmp has no
  # use for them, and they would hold every function alive), let the installer's
  # link drop the parts it never calls: the encoders, for one.
  logged cmake -S "$source" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_C_FLAGS="-ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables -fno-unwind-tables" \
    -DCMAKE_CROSSCOMPILING_EMULATOR= \
    -DTRELLIMO_DEPS_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_INSTALL_LIBDIR=lib \
    -DCMAKE_INSTALL_INCLUDEDIR=include \
    "$@"
}

build_libjpeg() {
  local source build=$bld_dir/libjpeg-turbo
  source=$(fetch_source libjpeg-turbo)
  step "building libjpeg-turbo (static, no SIMD)"
  # NO_GETENV: no environment variable (JPEGMEM, JSIMD_FORCE...) steers how the
  # installer decodes its pictures, and the scanf that reads them stays out.
  # No SIMD: its dispatcher links every encoder routine and table too (some 150 KB
  # of a download that only decodes a few small pictures, 2 ms slower for them).
  # No arithmetic decoding: the installer refuses arithmetic-coded pictures before
  # libjpeg sees them (their data gives no bound on the pixels they fill).
  leave_out_libjpeg_features "$source/jmorecfg.h"
  cmake_configure "$source" "$build" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_JPEG7=OFF -DWITH_JPEG8=OFF \
    -DWITH_SIMD=OFF -DWITH_ARITH_DEC=OFF -DWITH_ARITH_ENC=OFF \
    -DCMAKE_C_FLAGS_MINSIZEREL="-Os -DNDEBUG -DNO_GETENV"
  # Only the library: its install rule would also want the command-line tools.
  logged cmake --build "$build" --target jpeg-static
  install_libjpeg "$source" "$build"
}

# jmorecfg.h is where libjpeg is meant to be configured. Left out: the decoder
# features the installer never asks for, which the decoder's set-up would link all
# the same: scaled output, colour quantisation, the merged upsampler of
# non-"fancy" output and the legacy DCT methods. A picture asking for none of them
# decodes as before.
leave_out_libjpeg_features() {
  local header=$1 feature
  for feature in IDCT_SCALING QUANT_1PASS QUANT_2PASS UPSAMPLE_MERGING DCT_IFAST DCT_FLOAT; do
    grep -q "^#define ${feature}_SUPPORTED\b" "$header" || die "$header does not define ${feature}_SUPPORTED"
    sed -i "s/^#define ${feature}_SUPPORTED\b/#undef ${feature}_SUPPORTED/" "$header"
  done
}

install_libjpeg() {
  local source=$1 build=$2
  install -d "$prefix/lib/pkgconfig" "$prefix/include"
  install -m 644 "$build/libjpeg.a" "$prefix/lib/"
  install -m 644 "$source/jpeglib.h" "$source/jerror.h" "$source/jmorecfg.h" \
    "$build/jconfig.h" "$prefix/include/"
  install -m 644 "$build/pkgscripts/libjpeg.pc" "$prefix/lib/pkgconfig/"
}

build_libpng() {
  local source build=$bld_dir/libpng
  source=$(fetch_source libpng1.6)
  step "building libpng (static)"
  cmake_configure "$source" "$build" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON \
    -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF \
    -DSKIP_INSTALL_EXECUTABLES=ON -DSKIP_INSTALL_PROGRAMS=ON \
    -DDFA_XTRA="$repo_root/tools/libpng-read-only.dfa"
  logged cmake --build "$build"
  logged cmake --install "$build"
  [ -f "$prefix/lib/libpng16.a" ] || die "libpng16.a was not installed"
}

write_stamp() {
  {
    stamp_key
    sed '/^#/d' "$pins"
  } >"$stamp"
}

main() {
  case "${1:-}" in
    --pin)
      pin_newest_versions
      exit 0
      ;;
    --pins)
      pins=$(realpath "$2")
      shift 2
      ;;
  esac
  [ $# -eq 1 ] || die "usage: $0 [--pins FILE] PREFIX | --pin"
  mkdir -p "$1"
  prefix=$(cd "$1" && pwd)
  stamp=$prefix/.trellimo-deps.stamp
  is_up_to_date && exit 0

  work=$(dirname "$prefix")
  src_dir=$work/src
  bld_dir=$work/build
  # Two builds started at once (make -j) would share the work folders.
  exec 9>"$work/.lock"
  flock 9
  is_up_to_date && exit 0

  check_tools
  local pkg
  for pkg in "${packages[@]}"; do
    check_pin_available "$pkg"
  done
  log=$work/build.log
  trap on_exit EXIT
  rm -f "$stamp"
  rm -rf "$src_dir" "$bld_dir"
  mkdir -p "$src_dir" "$bld_dir"
  : >"$log"
  build_libjpeg
  build_libpng
  write_stamp
  step "installed into $prefix"
}

main "$@"
