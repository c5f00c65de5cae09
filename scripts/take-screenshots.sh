#!/usr/bin/env bash
# Takes the screenshots under docs/ from the real orvane program on a virtual
# display, driven as a user drives it: the main window with computed results
# and the settings dialog in English, and the main window in French. Needs a
# build (scripts/build.sh), xvfb-run, xdotool and ImageMagick's import.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}

if [ -z "${DISPLAY_READY:-}" ]; then
  cmake --build "$build" --target orvane -j2 >/dev/null
  exec xvfb-run -a -s "-screen 0 1600x1000x24" env DISPLAY_READY=1 bash "$0" "$@"
fi

scratch=$(mktemp -d)
trap 'kill "${pid:-}" 2>/dev/null || true; rm -rf "$scratch"' EXIT

# The program's visible window of that exact title.
wait_window() {
  local title=$1 window
  for _ in $(seq 600); do
    for window in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
      if [ "$(xdotool getwindowname "$window")" = "$title" ]; then
        echo "$window"
        return
      fi
    done
    sleep 0.2
  done
  echo "no window \"$title\" appeared" >&2
  return 1
}

# Clicks the dock's compute button, from the window's top right corner.
compute() {
  local width
  width=$(xdotool getwindowgeometry --shell "$1" | sed -n 's/^WIDTH=//p')
  xdotool mousemove --window "$1" $((width - 300)) 122 click 1
  # Away from the button, which would show as hovered.
  xdotool mousemove --window "$1" 20 20
}

shoot() {
  sleep 1 # the last repaints
  import -window "$1" "$2"
  echo "wrote $2"
}

# One run with a home of its own: the user's settings stay untouched and the
# layout is that of a first start.
run() {
  local language=$1 suffix=$2 question=$3 window
  rm -rf "$scratch/home"
  mkdir -m 700 "$scratch/home"
  cp samples/small-building.ifc "$scratch/small-building.ifc"
  env -u LC_ALL -u LC_MESSAGES -u ORVANE_PLUGIN_PATH HOME="$scratch/home" \
    XDG_CONFIG_HOME="$scratch/home/config" XDG_DATA_HOME="$scratch/home/data" XDG_RUNTIME_DIR="$scratch/home" \
    LANG="$language.UTF-8" LANGUAGE="${language%_*}" QT_QPA_PLATFORM=xcb \
    "$build/bin/orvane" "$scratch/small-building.ifc" &
  pid=$!
  window=$(wait_window "small-building.ifc - Orvane")
  compute "$window"
  wait_window "small-building.ifc* - Orvane" >/dev/null
  shoot "$window" "docs/main-window$suffix.png"
  if [ -z "$suffix" ]; then
    xdotool windowfocus --sync "$window" key alt+t s
    local dialog
    dialog=$(wait_window "Settings")
    shoot "$dialog" docs/settings-dialog.png
    xdotool windowfocus --sync "$dialog" key Escape
  fi
  # Quitting asks about the unsaved results: saved, into the scratch copy.
  xdotool windowfocus --sync "$window" key ctrl+q
  xdotool windowfocus --sync "$(wait_window "$question")" key Return
  wait "$pid"
}

run en_US "" "Unsaved results"
run fr_FR -fr "Résultats non enregistrés"
