#!/bin/sh
# Pictures of the mouse page under a virtual X server, for review.
#   scripts/screenshot.sh [OUTPUT-STEM] [BUILD-DIR]
# Writes OUTPUT-STEM-performance.png, -keys.png, -pointer.png, -lighting.png, -lighting-leds.png,
# -leds-swing.png and -macros.png
# (default stem: ./mouse-page). Needs xvfb-run and a build of test_editors_ui.
set -eu
. "$(dirname "$0")/screenshot-common.sh"
stem=$(absolute "${1:-$PWD/mouse-page}")
build=${2:-${NQ501_BUILD_DIR:-$here/build}}
shot test_editors_ui 1280x800 NQ501_SCREENSHOT "$stem.png" 'MousePageScreenshot.*:MacroEditorPage.Screenshot'
