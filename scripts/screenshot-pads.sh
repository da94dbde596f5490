#!/bin/sh
# Pictures of the mousepad and charging pad pages under a virtual X server, for review.
#   scripts/screenshot-pads.sh [OUTPUT-STEM] [BUILD-DIR]
# Writes OUTPUT-STEM-mousepad.png and -chargepad.png (default stem: ./pad-page). Needs xvfb-run
# and a build of test_pads_ui.
set -eu
. "$(dirname "$0")/screenshot-common.sh"
stem=$(absolute "${1:-$PWD/pad-page}")
build=${2:-${NQ501_BUILD_DIR:-$here/build}}
shot test_pads_ui 1280x800 NQ501_SCREENSHOT "$stem.png" 'PadPageScreenshot.*'
