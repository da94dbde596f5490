#!/bin/sh
# A picture of the main window after `nq501ctl set mouse dpi 1 1600` reached it over its socket:
# the mouse's Performance tab with the first DPI edit at 1600, under a virtual X server.
#   scripts/screenshot-ctl.sh [OUTPUT.png] [BUILD-DIR]
# Needs xvfb-run and a build of test_pages and nq501ctl.
set -eu
. "$(dirname "$0")/screenshot-common.sh"
output=$(absolute "${1:-$PWD/ctl-dpi.png}")
build=${2:-$here/build}
shot test_pages 1280x800 NQ501_SCREENSHOT "$output" 'ControlRoute.Screenshot'
echo "$output"
