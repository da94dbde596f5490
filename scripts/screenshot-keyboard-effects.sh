#!/bin/sh
# Pictures of the keyboard page's previews while effects run, each at two moments, under a virtual
# X server, for review.
#   scripts/screenshot-keyboard-effects.sh [OUTPUT-STEM] [BUILD-DIR]
# Writes OUTPUT-STEM-<effect>-1.png and -2.png (default stem: ./keyboard-effect) for the column
# wave, key-order wave, rings, raindrops, radar, sequence, twinkle, the logo bounce and wave and
# the side wave. Needs xvfb-run and a build of test_editors_ui.
set -eu
. "$(dirname "$0")/screenshot-common.sh"
stem=$(absolute "${1:-$PWD/keyboard-effect}")
build=${2:-${NQ501_BUILD_DIR:-$here/build}}
shot test_editors_ui 1280x900 NQ501_EFFECT_SCREENSHOTS "$stem.png" 'KeyboardEffectScreenshot.*'
