#!/bin/sh
# Pictures of the keyboard page's previews while effects run, each at two moments, under a virtual
# X server, for review.
#   scripts/screenshot-keyboard-effects.sh [OUTPUT-STEM] [BUILD-DIR]
# Writes OUTPUT-STEM-<effect>-1.png and -2.png (default stem: ./keyboard-effect) for the column
# wave, key-order wave, rings, raindrops, radar, sequence, twinkle, the logo bounce and wave and
# the side wave. Needs xvfb-run and a build of test_editors_ui.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
stem=${1:-$PWD/keyboard-effect}
build=${2:-${NQ501_BUILD_DIR:-$here/build}}
program=$build/test_editors_ui
if [ ! -x "$program" ]; then
    echo "build test_editors_ui first: cmake --build $build --target test_editors_ui" >&2
    exit 1
fi
case $stem in /*) ;; *) stem=$PWD/$stem ;; esac
NQ501_EFFECT_SCREENSHOTS=$stem.png QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x900x24" \
    "$program" --gtest_filter='KeyboardEffectScreenshot.*'
