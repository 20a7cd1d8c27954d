#!/usr/bin/env bash
# Installs what is missing, builds, and starts Korvane in its data directory,
# with this script's arguments (bash scripts/play.sh --window plays in a window).
# Without a display (a server, a container) the game runs under a private
# virtual X server instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh"
cd "$root/build/data"
if [ -n "${DISPLAY:-}" ]; then
    exec "$root/build/korvane" "$@"
fi
echo "No display (DISPLAY is not set): running Korvane under a private virtual X server, where nobody can see it. Start it from a graphical session to play; Ctrl-C stops it." >&2
exec "$root/tests/with-xvfb.sh" "$root/build/korvane" "$@"
