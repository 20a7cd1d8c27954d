#!/usr/bin/env bash
# Builds the game, its data and its tests with AddressSanitizer and UBSan in
# build-asan/ and runs every unit test and one whole game (the end-to-end
# scenario e2e_game, a fight to a winner) under them, with leak detection on.
# Any report fails the run: ASan and UBSan stop the program, LeakSanitizer
# makes it exit with status 23, and the test that ran it fails. Extra
# arguments go to ctest's unit-test run (for example -R world).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_SANITIZE=ON \
    -DKORVANE_BENCH=OFF >/dev/null
cmake --build "$root/build-asan" -j"$(nproc)"

export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=0:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/tests/leak-suppressions.txt:print_suppressions=0

# Mesa's software driver is loaded when a program opens its display and
# unloaded again by SDL_Quit: at the end of a game, and in every FatalError,
# which the death tests reach. Blocks the driver keeps in its static data are
# then pointed to from nowhere, and LeakSanitizer reports them in a library
# that is gone ("unknown module"): two of 56 bytes at the end of a game, one
# of 128 bytes from realloc after a FatalError on a fresh machine. Preloaded,
# the driver stays until the process ends and its blocks stay reachable, so
# nothing of the driver's needs suppressing and every leak of ours is still
# reported. Every program the tests start gets it (ASan then no longer comes
# first in their library list, hence verify_asan_link_order=0).
driver=
for candidate in /usr/lib/*/dri/swrast_dri.so; do
    if [ -e "$candidate" ]; then
        driver=$candidate
        break
    fi
done
if [ -z "$driver" ]; then
    echo "test-sanitized: Mesa's software driver swrast_dri.so is missing (run scripts/install-deps.sh)" >&2
    exit 1
fi
export LD_PRELOAD=$driver
export ASAN_OPTIONS=$ASAN_OPTIONS:verify_asan_link_order=0
cd "$root/build-asan"
ctest --output-on-failure -j2 -LE 'e2e|install' "$@"
ctest --output-on-failure -R '^e2e_game$'
