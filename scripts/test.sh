#!/usr/bin/env bash
# The test command: installs what is missing, builds and runs every test.
# test.sh [BUILD_DIR] [extra CMake arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shift || true
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "$build" "$@"
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 600
