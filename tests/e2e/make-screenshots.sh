#!/usr/bin/env bash
# Runs the end-to-end scenarios that take the documentation's screenshots
# (intro, menu, a turn with the panel, the sensor view, the winner screen) and
# writes them to docs/screenshots. Usage: tests/e2e/make-screenshots.sh [build dir]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
build=${1:-$source_dir/build}
for scenario in escape game; do
    "$source_dir/tests/with-xvfb.sh" python3 "$here/flow_e2e.py" --game "$build/korvane" --data "$build/data" \
        --test-data "$build/data-test" --screenshots "$source_dir/docs/screenshots" "$scenario"
done
