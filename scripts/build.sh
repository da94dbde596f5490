#!/usr/bin/env bash
# Configures (once) and builds NQ501 in ./build.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${NQ501_BUILD_DIR:-build}
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$BUILD_DIR" -j"$(nproc)"
