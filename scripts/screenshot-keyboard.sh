#!/bin/sh
# Pictures of the keyboard page under a virtual X server, for review.
#   scripts/screenshot-keyboard.sh [OUTPUT-STEM] [BUILD-DIR]
# Writes OUTPUT-STEM-keys.png, -custom.png, -assign.png, -logo.png, -side.png, -system.png and
# -800.png (default stem: ./keyboard-page), and -main.png (the main window with the keyboard). Needs
# xvfb-run and builds of test_editors_ui and test_pages.
set -eu
. "$(dirname "$0")/screenshot-common.sh"
stem=$(absolute "${1:-$PWD/keyboard-page}")
build=${2:-${NQ501_BUILD_DIR:-$here/build}}
shot test_editors_ui 1280x900 NQ501_SCREENSHOT "$stem.png" 'KeyboardPageScreenshot.*'
# The main window with the simulated keyboard connected and its tab selected.
shot test_pages 1280x900 NQ501_KEYBOARD_SCREENSHOT "$stem-main.png" 'KeyboardMainWnd.*'
echo "$stem-main.png"
