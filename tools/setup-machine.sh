#!/usr/bin/env bash
# Brings a fresh Debian 12 machine to the point where the installer can be built and
# tested: the MinGW cross compiler, 32-bit Wine on a virtual display, the GBK locale,
# and the host tools. Idempotent: a machine that has everything is left alone quickly.
set -euo pipefail

packages=(
  g++-mingw-w64-i686 mingw-w64-tools libz-mingw-w64-dev
  wine wine32 wine64 xvfb xauth x11-utils fonts-wqy-microhei locales
  cmake ninja-build make imagemagick xdotool
  nlohmann-json3-dev clang-14 libclang-rt-14-dev llvm-14
  dpkg-dev xz-utils nsis
  libjpeg-turbo-progs netpbm libjpeg62-turbo-dev libpng-dev
)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing_packages() {
  local p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || echo "$p"
  done
}

ensure_i386() {
  dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386
}

# The cross-built libraries come from Debian's own source packages, so the machine
# needs deb-src entries mirroring its binary ones.
ensure_deb_src() {
  local src=/etc/apt/sources.list.d/debian.sources
  local dst=/etc/apt/sources.list.d/debian-src.sources
  [ -f "$dst" ] && return 0
  if [ -f "$src" ]; then
    sed -e 's/^Types: deb$/Types: deb-src/' "$src" | as_root tee "$dst" >/dev/null
  else
    grep -E '^deb ' /etc/apt/sources.list | sed -e 's/^deb /deb-src /' | as_root tee /etc/apt/sources.list.d/debian-src.list >/dev/null
  fi
  echo updated
}

ensure_locale() {
  locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$' && return 0
  as_root sed -i -e 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen
}

main() {
  ensure_i386
  local changed_sources
  changed_sources=$(ensure_deb_src)
  local missing
  missing=$(missing_packages)
  if [ -n "$missing" ] || [ -n "$changed_sources" ] || [ ! -d /var/lib/apt/lists ] || [ -z "$(ls /var/lib/apt/lists/*Sources* 2>/dev/null)" ]; then
    as_root apt-get update -q
  fi
  if [ -n "$missing" ]; then
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -q --no-install-recommends $missing
  fi
  ensure_locale
}

main "$@"
