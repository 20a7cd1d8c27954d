#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite. Every test
# program starts its own virtual X server, so no display is needed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh"
cd "$root/build"
ctest --output-on-failure -j2 "$@"
