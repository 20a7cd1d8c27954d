#!/usr/bin/env bash
# Runs one command under a private virtual X server (800x600, 24-bit, or the
# screen that KORVANE_XVFB_SCREEN names, say 1024x768x24) with Mesa's software
# renderer, so that OpenGL tests get a real context and never touch the user's
# own display. The server picks a free display number itself.
set -u
if ! command -v Xvfb >/dev/null 2>&1; then
    echo "with-xvfb: Xvfb is not installed (run scripts/install-deps.sh)" >&2
    exit 1
fi
fifo_dir=$(mktemp -d)
mkfifo "$fifo_dir/fd"
Xvfb -displayfd 3 -screen 0 "${KORVANE_XVFB_SCREEN:-800x600x24}" -nolisten tcp -noreset 3>"$fifo_dir/fd" 2>"$fifo_dir/xvfb.log" &
xvfb_pid=$!
display=""
if ! read -r -t 30 display <"$fifo_dir/fd"; then
    echo "with-xvfb: the virtual X server did not start:" >&2
    cat "$fifo_dir/xvfb.log" >&2
    kill "$xvfb_pid" 2>/dev/null
    rm -rf "$fifo_dir"
    exit 1
fi
cleanup() {
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    rm -rf "$fifo_dir"
}
trap cleanup EXIT
export DISPLAY=":$display"
export LIBGL_ALWAYS_SOFTWARE=1
export SDL_AUDIODRIVER=dummy
# Saved games go to a folder of this run only: a person's own saves never
# reach a test, and a test's never stay behind.
export XDG_DATA_HOME="$fifo_dir/data"
"$@"
