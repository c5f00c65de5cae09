#!/usr/bin/env bash
# Takes the screenshots under docs/ from the real main window and plug-in on
# a virtual display: the window with computed results and the settings
# dialog in English, and the window in French. Needs a build (scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
cmake --build "$build" --target orvane-screenshots -j2 >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp samples/small-building.ifc "$scratch/small-building.ifc"
shoot() {
  # A scratch home: the user's own settings and recent files stay untouched.
  HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" \
    xvfb-run -a -s "-screen 0 1600x1000x24" env QT_QPA_PLATFORM=xcb "$@"
}
shoot env LANG=en_US.UTF-8 LANGUAGE=en "$build/bin/orvane-screenshots" "$scratch/small-building.ifc" docs
cp samples/small-building.ifc "$scratch/small-building.ifc"
shoot env LANG=fr_FR.UTF-8 LANGUAGE=fr "$build/bin/orvane-screenshots" "$scratch/small-building.ifc" "$scratch" -fr
cp "$scratch/main-window-fr.png" docs/main-window-fr.png
