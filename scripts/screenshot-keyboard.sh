#!/bin/sh
# Pictures of the keyboard page under a virtual X server, for review.
#   scripts/screenshot-keyboard.sh [OUTPUT-STEM] [BUILD-DIR]
# Writes OUTPUT-STEM-keys.png, -custom.png, -assign.png, -logo.png, -side.png, -system.png and
# -800.png (default stem: ./keyboard-page), and -main.png (the main window with the keyboard). Needs
# xvfb-run and builds of test_editors_ui and test_pages.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
stem=${1:-$PWD/keyboard-page}
build=${2:-${NQ501_BUILD_DIR:-$here/build}}
program=$build/test_editors_ui
if [ ! -x "$program" ]; then
    echo "build test_editors_ui first: cmake --build $build --target test_editors_ui" >&2
    exit 1
fi
case $stem in /*) ;; *) stem=$PWD/$stem ;; esac
NQ501_SCREENSHOT=$stem.png QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x900x24" \
    "$program" --gtest_filter='KeyboardPageScreenshot.*'
# The main window with the simulated keyboard connected and its tab selected.
NQ501_KEYBOARD_SCREENSHOT=$stem-main.png QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x900x24" \
    "$build/test_pages" --gtest_filter='KeyboardMainWnd.*'
echo "$stem-main.png"
