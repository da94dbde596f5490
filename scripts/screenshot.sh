#!/bin/sh
# Pictures of the mouse page under a virtual X server, for review.
#   scripts/screenshot.sh [OUTPUT-STEM] [BUILD-DIR]
# Writes OUTPUT-STEM-performance.png, -keys.png, -pointer.png, -lighting.png, -lighting-leds.png,
# -leds-swing.png and -macros.png
# (default stem: ./mouse-page). Needs xvfb-run and a build of test_editors_ui.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
stem=${1:-$PWD/mouse-page}
build=${2:-${NQ501_BUILD_DIR:-$here/build}}
program=$build/test_editors_ui
if [ ! -x "$program" ]; then
    echo "build test_editors_ui first: cmake --build $build --target test_editors_ui" >&2
    exit 1
fi
case $stem in /*) ;; *) stem=$PWD/$stem ;; esac
NQ501_SCREENSHOT=$stem.png QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x800x24" \
    "$program" --gtest_filter='MousePageScreenshot.*:MacroEditorPage.Screenshot'
