#!/bin/sh
# A picture of the main window with the simulator's full default set (six devices, six tabs),
# showing the simulated mouse's page on its Performance tab with the DPI values the device
# reported, under a virtual X server, for review.
#   scripts/screenshot-main.sh [OUTPUT.png] [BUILD-DIR]
# Needs xvfb-run and a build of test_pages.
set -eu
. "$(dirname "$0")/screenshot-common.sh"
output=$(absolute "${1:-$PWD/main-window.png}")
build=${2:-$here/build}
shot test_pages 1280x800 NQ501_SCREENSHOT "$output" 'MainWndScreenshot.*'
echo "$output"
