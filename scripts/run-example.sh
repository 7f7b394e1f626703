#!/usr/bin/env bash
# The main job: installs what is missing, builds, and runs a script through
# the zavor host. run-example.sh [SCRIPT] (default examples/hallo.zq)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
script=${1:-$root/examples/hallo.zq}
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "$root/build"
"$root/build/bin/zavor" run "$script"
