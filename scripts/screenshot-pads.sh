#!/bin/sh
# Pictures of the mousepad and charging pad pages under a virtual X server, for review.
#   scripts/screenshot-pads.sh [OUTPUT-STEM] [BUILD-DIR]
# Writes OUTPUT-STEM-mousepad.png and -chargepad.png (default stem: ./pad-page). Needs xvfb-run
# and a build of test_pads_ui.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
stem=${1:-$PWD/pad-page}
build=${2:-${NQ501_BUILD_DIR:-$here/build}}
program=$build/test_pads_ui
if [ ! -x "$program" ]; then
    echo "build test_pads_ui first: cmake --build $build --target test_pads_ui" >&2
    exit 1
fi
case $stem in /*) ;; *) stem=$PWD/$stem ;; esac
NQ501_SCREENSHOT=$stem.png QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x800x24" \
    "$program" --gtest_filter='PadPageScreenshot.*'
