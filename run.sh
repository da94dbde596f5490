#!/usr/bin/env bash
# Installs what is missing, builds and starts NQ501. "./run.sh --demo" starts it on the simulator.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/build.sh
exec "${NQ501_BUILD_DIR:-build}/nq501" "$@"
