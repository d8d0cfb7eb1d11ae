#!/usr/bin/env bash
# Test bed for running the 32-bit Windows programs under Wine: a private prefix, a
# scratch HOME, the GBK (936) locale, an Xvfb display when there is no usable one,
# and a persistent, warmed-up wineserver.
#   tests/wine/wine-env.sh start|stop|status
# TRELLIMO_WINEARCH=win32 selects a 32-bit Windows prefix (default: win64).
# TRELLIMO_WINELOCALE=en_US.UTF-8 (or any generated UTF-8 locale) runs Wine with that
# locale's code page instead of GBK, in a prefix of its own (default: zh_CN.UTF-8).
# TRELLIMO_VIRTUAL_DISPLAY=1 uses Xvfb even when DISPLAY is set.
# tests/wine/wine-run.sh sources this file for its functions.
set -euo pipefail

wine_env_init() {
  local here
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
  repo_root=$(cd "$here/../.." && pwd)
  wine_root=$repo_root/build/wine
  wine_arch=${TRELLIMO_WINEARCH:-win64}
  case "$wine_arch" in
    win64 | win32) ;;
    *) echo "wine-env: TRELLIMO_WINEARCH must be win64 or win32, not '$wine_arch'" >&2; exit 2 ;;
  esac
  wine_locale=${TRELLIMO_WINELOCALE:-zh_CN.UTF-8}
  case "$wine_locale" in
    *_*.UTF-8) ;;
    *) echo "wine-env: TRELLIMO_WINELOCALE must be a UTF-8 locale such as en_US.UTF-8, not '$wine_locale'" >&2; exit 2 ;;
  esac
  # A prefix keeps the code page it was made with, so each locale has its own.
  local flavour=$wine_arch
  [ "$wine_locale" = zh_CN.UTF-8 ] || flavour=$wine_arch-${wine_locale%%.*}
  wine_prefix=$wine_root/prefix-$flavour
  wine_log=$wine_root/wine-$flavour.log
  display_record=$wine_root/display
  # The display the running wineserver's desktop was started with.
  server_record=$wine_root/server-$flavour
  # DISPLAY plus the pid of our Xvfb behind it, so a restarted Xvfb is noticed.
  display_id=
}

# Everything a wine call needs; exported so wine and its helpers inherit it.
export_wine_env() {
  export WINEPREFIX=$wine_prefix WINEARCH=$wine_arch
  # Wine links the prefix's Desktop, Documents, ... to $HOME: keep the real one clean.
  export HOME=$wine_root/home
  # zh_CN.UTF-8 gives the ANSI code page 936 (GBK) the installer is written for;
  # en_US.UTF-8 gives 1252 and ja_JP.UTF-8 932, as on an English or Japanese Windows.
  export LANG=$wine_locale LC_ALL=$wine_locale
  export WINEDEBUG=${WINEDEBUG:--all}
  # No Mono/Gecko install prompts, no .desktop files for the shortcuts tests create.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
}

log_line() { echo "[$(date '+%F %T')] $*" >>"$wine_log"; }

die() {
  echo "wine-env: $*" >&2
  [ -f "$wine_log" ] && echo "wine-env: see $wine_log" >&2
  exit 1
}

wants_virtual_display() {
  [ -z "${DISPLAY:-}" ] || [ "${TRELLIMO_VIRTUAL_DISPLAY:-}" = 1 ]
}

# True when PID runs the program NAME. A dead process may linger as a zombie
# where nothing reaps orphans (seen in containers), so its state counts too.
is_running() {
  local pid=$1 name=$2 stat
  stat=$(cat "/proc/$pid/stat" 2>/dev/null) || return 1
  [[ $stat == "$pid ($name) "[!ZX]* ]]
}

# Prints "NUMBER PID" of the Xvfb recorded earlier, if it still runs.
recorded_xvfb() {
  local num pid
  [ -f "$display_record" ] || return 1
  read -r num pid <"$display_record" || return 1
  [ -n "$num" ] && [ -n "$pid" ] || return 1
  is_running "$pid" Xvfb || return 1
  [ -S "/tmp/.X11-unix/X$num" ] || return 1
  echo "$num $pid"
}

# Daemons must hold neither the caller's pipes nor our lock (ctest, make's
# jobserver): close every inherited descriptor above stderr.
close_extra_fds() {
  local fd
  for fd in "/proc/$BASHPID/fd"/*; do
    fd=${fd##*/}
    if [ "$fd" -gt 2 ]; then eval "exec $fd>&-" 2>/dev/null || true; fi
  done
}

# Runs a command in a new session (ctest kills a timed-out test's process group;
# the display and Wine's services must survive it) without inherited descriptors.
detached() {
  (close_extra_fds; exec setsid "$@") </dev/null >>"$wine_log" 2>&1
}

# Starts Xvfb on a display number it picks itself (-displayfd) and records it.
start_xvfb() {
  local numfile=$wine_root/xvfb-number num="" pid
  : >"$numfile"
  # A background subshell is no group leader, so setsid execs in place: $! is Xvfb.
  (close_extra_fds; exec 3>"$numfile"; exec setsid Xvfb -displayfd 3 \
    -screen 0 1280x1024x24 -nolisten tcp) </dev/null >>"$wine_log" 2>&1 &
  pid=$!
  for _ in $(seq 100); do
    num=$(tr -dc 0-9 <"$numfile")
    [ -n "$num" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$numfile"
  [ -n "$num" ] || die "Xvfb did not start"
  echo "$num $pid" >"$display_record"
  log_line "started Xvfb :$num (pid $pid)"
}

# Exports DISPLAY: the caller's, or the shared Xvfb (started once).
ensure_display() {
  if ! wants_virtual_display; then
    display_id=$DISPLAY
    return 0
  fi
  local rec
  if ! rec=$(recorded_xvfb); then
    start_xvfb
    rec=$(recorded_xvfb) || die "Xvfb started but is not reachable"
  fi
  export DISPLAY=:${rec%% *}
  display_id="$DISPLAY ${rec#* }"
}

# Wine keeps one server per prefix, in a folder named after the prefix's device
# and inode (under /tmp/.wine-UID, or a random /tmp/wine-XXXXXX as on Debian); the
# server runs with that folder as its working directory.
server_dir_name() {
  local dev ino
  read -r dev ino < <(stat -c '%d %i' "$wine_prefix")
  printf 'server-%x-%x\n' "$dev" "$ino"
}

# Prints the pid of the wineserver serving this prefix, if any.
server_pid() {
  [ -d "$wine_prefix" ] || return 1
  local name p
  name=$(server_dir_name)
  [ -n "$name" ] || return 1
  for p in /proc/[0-9]*; do
    case "$(cat "$p/comm" 2>/dev/null)" in
      wineserver*)
        case "$(readlink "$p/cwd" 2>/dev/null)" in
          */"$name") echo "${p#/proc/}"; return 0 ;;
        esac ;;
    esac
  done
  return 1
}

# A new prefix points Desktop, Documents, Music, ... all at $HOME; real folders keep
# each prefix's shortcuts and files apart and easy to check.
unlink_home_folders() {
  local link
  for link in "$wine_prefix"/drive_c/users/*/*; do
    [ -L "$link" ] || continue
    rm "$link"
    mkdir "$link"
  done
}

# wineboot -i once per prefix (about 15 s); a marker tells a finished one from
# one that was interrupted. Output goes to the log: see the notes on pipes.
ensure_prefix() {
  [ -f "$wine_prefix/.trellimo-ready" ] && return 0
  log_line "creating $wine_arch prefix $wine_prefix ($wine_locale)"
  rm -rf "$wine_prefix"
  detached -w wineboot -i || die "wineboot -i failed"
  detached -w wineserver -w
  unlink_home_folders
  touch "$wine_prefix/.trellimo-ready"
  log_line "prefix ready"
}

# A program that crashes must end with its backtrace in the log rather than wait
# behind Wine's crash dialog, which belongs to another process: a test would see
# only a program that stopped answering, and the dialog would take the focus from
# the tests after it. Applied once per prefix, to old prefixes too.
ensure_no_crash_dialog() {
  local marker=$wine_prefix/.trellimo-no-crash-dialog
  [ -f "$marker" ] && return 0
  detached -w wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f ||
    die "could not turn off the crash dialog"
  touch "$marker"
}

# The virtual display has no window manager, and Wine treats its windows as
# managed by one unless told otherwise: each window a program closes then waits
# about 2 s for a state change no manager will send, which was most of the Wine
# suite's time. Unmanaged, a window goes at once; what the tests look at (styles,
# focus, input, pixels) is Wine's own either way. Applied once per prefix.
ensure_unmanaged_windows() {
  local marker=$wine_prefix/.trellimo-unmanaged-windows
  [ -f "$marker" ] && return 0
  detached -w wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f ||
    die "could not make the windows unmanaged"
  touch "$marker"
}

stop_xvfb() {
  local pid=$1
  kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 50); do
    is_running "$pid" Xvfb || return 0
    sleep 0.1
  done
}

stop_server() {
  server_pid >/dev/null || return 0
  detached -w wineserver -k || true
  detached -w wineserver -w || true
  rm -f "$server_record"
  log_line "wineserver stopped"
}

# A persistent wineserver plus one trivial wine command whose stdio are the log:
# the services and the desktop process it starts stay up and hold no caller's
# pipe, so later piped runs (ctest) neither hang nor pay the start-up.
ensure_server() {
  if server_pid >/dev/null; then
    # Its desktop process talks to the display it started with; a new display
    # needs a new desktop process, started by the warm-up below and not by a
    # piped test run.
    [ "$(cat "$server_record" 2>/dev/null)" = "$display_id" ] && return 0
    stop_server
  fi
  detached -w wineserver -p
  detached -w wine rundll32.exe || true
  server_pid >/dev/null || die "wineserver did not stay up"
  echo "$display_id" >"$server_record"
  log_line "wineserver up (display $display_id)"
}

# Serialises start/stop: ctest -j starts several wine-run.sh at once.
take_lock() {
  mkdir -p "$wine_root" "$wine_root/home"
  exec 9>"$wine_root/lock"
  flock 9
}

release_lock() { exec 9>&-; }

cmd_start() {
  take_lock
  export_wine_env
  ensure_display
  ensure_prefix
  ensure_server
  ensure_no_crash_dialog
  ensure_unmanaged_windows
  release_lock
}

# Prints another of our prefixes whose wineserver still runs, if any.
other_prefix_with_server() {
  local prefix
  for prefix in "$wine_root"/prefix-*; do
    [ -d "$prefix" ] && [ "$prefix" != "$wine_prefix" ] || continue
    if (wine_prefix=$prefix; server_pid >/dev/null); then
      echo "$prefix"
      return 0
    fi
  done
  return 1
}

cmd_stop() {
  take_lock
  export_wine_env
  [ -d "$wine_prefix" ] && stop_server
  local rec other
  if rec=$(recorded_xvfb); then
    # The display is shared by every prefix; leave it to a server still using it.
    if other=$(other_prefix_with_server); then
      echo "wine-env: Xvfb :${rec%% *} kept, the wineserver of ${other##*/} still uses it"
    else
      stop_xvfb "${rec#* }"
      rm -f "$display_record"
      log_line "stopped Xvfb :${rec%% *}"
    fi
  else
    rm -f "$display_record"
  fi
  release_lock
}

cmd_status() {
  export_wine_env
  local rec="" pid state=missing
  [ -f "$wine_prefix/.trellimo-ready" ] && state=ready
  echo "prefix:     $wine_prefix ($wine_arch, $wine_locale, $state)"
  if rec=$(recorded_xvfb); then
    echo "Xvfb:       running on :${rec%% *} (pid ${rec#* })"
  else
    echo "Xvfb:       not running"
  fi
  if ! wants_virtual_display; then
    echo "display:    $DISPLAY (the caller's)"
  elif [ -n "$rec" ]; then
    echo "display:    :${rec%% *} (Xvfb)"
  else
    echo "display:    none yet (start brings up Xvfb)"
  fi
  if pid=$(server_pid); then
    echo "wineserver: running (pid $pid, desktop on display $(cat "$server_record" 2>/dev/null))"
  else
    echo "wineserver: not running"
  fi
}

wine_env_main() {
  wine_env_init
  case "${1:-}" in
    start) cmd_start ;;
    stop) cmd_stop ;;
    status) cmd_status ;;
    *) echo "usage: $0 start|stop|status" >&2; exit 2 ;;
  esac
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  wine_env_main "$@"
fi
