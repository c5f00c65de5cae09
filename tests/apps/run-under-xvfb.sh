#!/bin/sh
# Runs a test program on a display of its own; 77 (skipped) without Xvfb.
command -v xvfb-run >/dev/null 2>&1 || { echo "xvfb-run is missing: skipped"; exit 77; }
exec xvfb-run -a -s "-screen 0 1600x1000x24" env QT_QPA_PLATFORM=xcb "$@"
