#!/usr/bin/env bash
# Brings a fresh Debian 12 machine to the point where the installer can be built and
# tested: the MinGW cross compiler, 32-bit Wine on a virtual display, the GBK locale,
# and the host tools. Idempotent: a machine that has everything is left alone quickly.
#   tools/setup-machine.sh           what `make run` and `make test` need
#   tools/setup-machine.sh --bench   that, and the tools `make bench` compares against
#
# A package index that fails to download (a mirror in the middle of a sync) does not
# stop the set-up: the packages are resolved without that suite, and only if that
# also fails does the set-up stop, naming the index. The machine's apt sources are
# never edited, except to add the deb-src entries the cross-built libraries need.
set -euo pipefail

packages=(
  g++-mingw-w64-i686 mingw-w64-tools libz-mingw-w64-dev
  wine wine32 wine64 xvfb xauth x11-utils fonts-wqy-microhei locales
  cmake ninja-build make imagemagick xdotool
  nlohmann-json3-dev clang-14 libclang-rt-14-dev llvm-14
  dpkg-dev xz-utils libjpeg62-turbo-dev libpng-dev
  osslsigncode openssl
)
readonly bench_packages=(nsis netpbm libjpeg-turbo-progs)

# Tests point these at scratch folders; a real run uses the machine's own.
readonly apt_etc=${TRELLIMO_APT_ETC:-/etc/apt}
readonly apt_lists=${TRELLIMO_APT_LISTS:-/var/lib/apt/lists}
readonly update_attempts=3
readonly update_pause=${TRELLIMO_APT_RETRY_PAUSE:-10}

# "URL<TAB>reason" of each index the last update could not download.
failed_indexes=()

say() { echo "setup: $*" >&2; }
die() {
  say "$*"
  exit 1
}

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
  local src=$apt_etc/sources.list.d/debian.sources
  local dst=$apt_etc/sources.list.d/debian-src.sources
  [ -f "$dst" ] && return 0
  if [ -f "$src" ]; then
    sed -e 's/^Types: deb$/Types: deb-src/' "$src" | as_root tee "$dst" >/dev/null
  else
    grep -E '^deb ' "$apt_etc/sources.list" | sed -e 's/^deb /deb-src /' |
      as_root tee "$apt_etc/sources.list.d/debian-src.list" >/dev/null
  fi
  echo updated
}

# zh_CN gives Wine the code page 936 the installer is written for; the tests run
# the installer again under en_US (1252) and ja_JP (932), as on an English or a
# Japanese Windows. Wine needs each one's glibc locale to name files outside ASCII.
test_locales=(zh_CN en_US ja_JP)

locale_missing() {
  local name=$1
  ! locale -a 2>/dev/null | grep -qi "^$name.utf8$"
}

ensure_locale() {
  local name missing=()
  for name in "${test_locales[@]}"; do
    locale_missing "$name" && missing+=("$name")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  for name in "${missing[@]}"; do
    as_root sed -i -e "s/^# *$name.UTF-8 UTF-8/$name.UTF-8 UTF-8/" /etc/locale.gen
    grep -q "^$name.UTF-8 UTF-8" /etc/locale.gen || echo "$name.UTF-8 UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
  done
  as_root locale-gen
}

# apt reports an index it could not fetch as "E: Failed to fetch URL  reason" (or W:
# for some network errors); the reason runs to the end of the line.
indexes_failed_in() {
  sed -n -E 's/^[EW]: Failed to fetch ([^ ]+) +(.*)$/\1\t\2/p' "$1" | sort -u
}

# apt-get update, a few times with a pause between: a mirror sync is over in
# minutes. Indexes that still fail are named and left out; anything else stops.
update_package_lists() {
  local attempt log status
  log=$(mktemp)
  for ((attempt = 1; attempt <= update_attempts; attempt++)); do
    status=0
    as_root apt-get update -q 2>&1 | tee "$log" || status=$?
    [ "$status" -eq 0 ] && break
    if ((attempt < update_attempts)); then
      say "apt-get update failed (status $status); trying again in $update_pause s"
      sleep "$update_pause"
    fi
  done
  mapfile -t failed_indexes < <(indexes_failed_in "$log")
  rm -f "$log"
  [ "$status" -eq 0 ] && return 0
  [ ${#failed_indexes[@]} -gt 0 ] ||
    die "apt-get update failed (status $status) without naming an index; see its output above"
  local index
  for index in "${failed_indexes[@]}"; do
    say "the package index ${index%%$'\t'*} could not be downloaded (${index#*$'\t'}); going on without it"
  done
}

# The suite of an index URL: the folder after "dists/".
suite_of() { sed -n -E 's|.*/dists/([^/]+)/.*|\1|p' <<<"$1"; }

failed_suites() {
  local index
  for index in "${failed_indexes[@]}"; do
    suite_of "${index%%$'\t'*}"
  done | sort -u
}

# Copies one sources file, in either format, with the given suites left out:
# a one-line entry of such a suite is dropped, and a deb822 stanza loses them from
# its Suites field (and is dropped when none remain).
sources_without_suites() {
  local file=$1
  shift
  awk -v skip="$*" '
    BEGIN { n = split(skip, s, " "); for (i = 1; i <= n; i++) left_out[s[i]] = 1 }
    FILENAME ~ /\.list$/ {
      line = $0; sub(/\[[^]]*\]/, "", line); split(line, f, " ")
      if (!(f[1] ~ /^deb/ && f[3] in left_out)) print
      next
    }
    /^Suites:/ {
      kept = ""
      for (i = 2; i <= NF; i++) if (!($i in left_out)) kept = kept " " $i
      if (kept == "") dropped = 1; else $0 = "Suites:" kept
    }
    /^[ \t]*$/ { if (!dropped) printf "%s", stanza; print; stanza = ""; dropped = 0; next }
    { stanza = stanza $0 "\n" }
    END { if (!dropped) printf "%s", stanza }
  ' "$file"
}

# A folder of the machine's sources with the failed suites left out, for apt's
# Dir::Etc::SourceParts: the machine's own files stay as they are.
write_sources_without_failed_suites() {
  local folder=$1 file
  local -a suites
  mapfile -t suites < <(failed_suites)
  for file in "$apt_etc/sources.list" "$apt_etc"/sources.list.d/*.list "$apt_etc"/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    sources_without_suites "$file" "${suites[@]}" >"$folder/$(basename "$file")"
  done
}

apt_install() {
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -q --no-install-recommends "$@"
}

failed_index_summary() {
  local index
  for index in "${failed_indexes[@]}"; do
    printf '%s (%s); ' "${index%%$'\t'*}" "${index#*$'\t'}"
  done
}

install_packages() {
  apt_install "$@" && return 0
  [ ${#failed_indexes[@]} -gt 0 ] || die "apt-get could not install: $*; its output above says why"

  local sources
  sources=$(mktemp -d)
  write_sources_without_failed_suites "$sources"
  say "trying the install again without the suites whose index failed: $(failed_suites | paste -sd " ")"
  local status=0
  apt_install -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$sources" "$@" || status=$?
  rm -rf "$sources"
  [ "$status" -eq 0 ] && return 0
  die "could not install $*: the package index $(failed_index_summary)apt cannot resolve the packages without it." \
    "This is usually a Debian mirror in the middle of a sync: wait a few minutes and run make again," \
    "or point the machine's apt sources at another mirror."
}

needs_update() {
  local missing=$1 changed_sources=$2
  [ -n "$missing" ] || [ -n "$changed_sources" ] || [ ! -d "$apt_lists" ] ||
    [ -z "$(ls "$apt_lists"/*Sources* 2>/dev/null)" ]
}

main() {
  case "${1:-}" in
    --bench) packages+=("${bench_packages[@]}") ;;
    "") ;;
    *) die "usage: $0 [--bench]" ;;
  esac
  ensure_i386
  local changed_sources missing
  changed_sources=$(ensure_deb_src)
  missing=$(missing_packages)
  if needs_update "$missing" "$changed_sources"; then
    update_package_lists
  fi
  if [ -n "$missing" ]; then
    # shellcheck disable=SC2086
    install_packages $missing
  fi
  ensure_locale
}

main "$@"
