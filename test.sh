#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/build.sh
cd "${NQ501_BUILD_DIR:-build}"
ctest --output-on-failure -j"$(nproc)" --timeout 300
