#!/usr/bin/env bash
# `make run`: starts the installer under Wine. With a display of the user's, the
# installer simply runs there. Without one it runs on a virtual display in a scratch
# Wine prefix and walks through a quick install as a person would, with real clicks,
# writing a picture of each page to the screens folder, and at the end one of the
# focus cue the keyboard brings up.
#   tools/run-installer.sh INSTALLER.exe SCREENS_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
installer=$(realpath "$1")
screens=$2
wine_env=$here/../tests/wine/wine-env.sh
wine_run=$here/../tests/wine/wine-run.sh

on_users_display() {
  [ -n "${DISPLAY:-}" ] && [ "${TRELLIMO_VIRTUAL_DISPLAY:-}" != 1 ]
}

# Waits for the installer's top-level X window and prints its id.
wait_for_installer_window() {
  local id
  for _ in $(seq 1 200); do
    id=$(xdotool search --onlyvisible --name 'Trellimo' 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  echo "run-installer: the installer window did not appear" >&2
  return 1
}

capture_window() {
  local id=$1 file=$2 x y width height
  eval "$(xdotool getwindowgeometry --shell "$id")"
  x=$X y=$Y width=$WIDTH height=$HEIGHT
  import -window root -crop "${width}x${height}+${x}+${y}" +repage "$file"
  echo "run-installer: wrote $file"
}

# Clicks at a point of the installer window's client area (it has no frame).
click_at() {
  local id=$1 x=$2 y=$3 X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$id")"
  xdotool mousemove $((X + x)) $((Y + y)) click 1
}

run_on_virtual_display() {
  export TRELLIMO_VIRTUAL_DISPLAY=1 TRELLIMO_WINEARCH=win32
  "$wine_env" start
  DISPLAY=":$(cut -d' ' -f1 "$here/../build/wine/display")"
  export DISPLAY
  mkdir -p "$screens"
  "$wine_run" "$installer" >/dev/null 2>&1 &
  local installer_pid=$! id
  id=$(wait_for_installer_window)
  sleep 1
  capture_window "$id" "$screens/first-page.png"
  click_at "$id" 628 482      # custom install
  sleep 1
  capture_window "$id" "$screens/custom-page.png"
  click_at "$id" 430 440      # back to the first page
  sleep 1
  click_at "$id" 340 369      # quick install
  sleep 0.6
  capture_window "$id" "$screens/installing-page.png"
  sleep 3
  capture_window "$id" "$screens/finish-page.png"
  # Last, as the keyboard's cue stays once shown: Tab to the close button and back
  # to the start button, which then shows it.
  xdotool key Tab
  sleep 0.3
  xdotool key shift+Tab
  sleep 0.5
  capture_window "$id" "$screens/keyboard-focus.png"
  click_at "$id" 662 18       # close
  wait "$installer_pid" || true
  echo "run-installer: installed into C:\\Program Files (x86)\\Trellimo of the prefix build/wine/prefix-win32:"
  ls -l "$here/../build/wine/prefix-win32/drive_c/Program Files (x86)/Trellimo"
}

if on_users_display; then
  exec "$wine_run" "$installer"
else
  run_on_virtual_display
fi
