#!/bin/sh
# A picture of the main window with the simulator's full default set (six devices, six tabs),
# showing the simulated mouse's page on its Performance tab with the DPI values the device
# reported, under a virtual X server, for review.
#   scripts/screenshot-main.sh [OUTPUT.png] [BUILD-DIR]
# Needs xvfb-run and a build of test_pages.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
output=${1:-$PWD/main-window.png}
build=${2:-$here/build}
program=$build/test_pages
if [ ! -x "$program" ]; then
    echo "build test_pages first: cmake --build $build --target test_pages" >&2
    exit 1
fi
case $output in /*) ;; *) output=$PWD/$output ;; esac
NQ501_SCREENSHOT=$output QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x800x24" \
    "$program" --gtest_filter='MainWndScreenshot.*'
echo "$output"
