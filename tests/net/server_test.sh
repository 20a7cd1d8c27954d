#!/usr/bin/env bash
# korvane-server as a program: its command line, the address and port it
# binds, its log, its end on a signal, and that it needs no display.
# Usage: server_test.sh SERVER
set -u
server=$1
work=$(mktemp -d)
server_pid=
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Bad command lines: a reason and the usage, status 2.
while read -r args; do
    "$server" $args >"$work/out" 2>"$work/err" </dev/null
    status=$?
    [ "$status" = 2 ] || fail "'$args' exits with $status, not 2"
    head -n 1 "$work/err" | grep -q '^korvane-server: ' || fail "'$args' gives no reason"
    grep -q '^usage: korvane-server' "$work/err" || fail "'$args' shows no usage"
done <<'TABLE'
--port 0
--port 65536
--port 12x
--port
--timeout 0
--timeout 3601
--code abc123
--code ABC12
--address
--verbose
TABLE
"$server" --help | grep -q '^usage: korvane-server' || fail "--help shows no usage"

# wait_for FILE PATTERN: up to 5 seconds for a line in FILE.
wait_for() {
    for _ in $(seq 50); do
        grep -q "$2" "$1" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# Started with no display, it listens on the address and port it is given.
port=$((20000 + RANDOM % 30000))
(cd "$work" && exec env -u DISPLAY "$server" --address 127.0.0.1 --port "$port" --code TEST42 2>"$work/log") &
server_pid=$!
wait_for "$work/log" "^korvane-server: listening on 127.0.0.1:$port$" || fail "no listening line: $(cat "$work/log")"
ss -uln | grep -q "127.0.0.1:$port " || fail "nothing bound to 127.0.0.1:$port: $(ss -uln)"
ss -uln | grep -q "0.0.0.0:$port " && fail "bound to every address, not the one given"

# The same port again: a reason and status 1.
timeout 10 "$server" --address 127.0.0.1 --port "$port" 2>"$work/second" </dev/null
status=$?
[ "$status" = 1 ] || fail "a second server on the same port exits with $status, not 1"
grep -q "^korvane-server: cannot bind 127.0.0.1:$port$" "$work/second" || fail "second server: $(cat "$work/second")"

# A signal ends it cleanly.
kill -TERM "$server_pid"
wait "$server_pid"
status=$?
[ "$status" = 0 ] || fail "exits with $status on SIGTERM"
grep -q '^korvane-server: stopped by signal 15$' "$work/log" || fail "no stop line: $(cat "$work/log")"
[ -z "$(ls -A "$work" | grep -v -e '^log$' -e '^out$' -e '^err$' -e '^second$')" ] || fail "files written: $(ls "$work")"

# Headless: the program links neither SDL nor OpenGL. What it needs itself:
# a library preloaded into every program (the sanitized run preloads Mesa's
# driver) is listed by ldd too, but is not the program's.
env -u LD_PRELOAD ldd "$server" | grep -i -E 'libSDL|libGL' && fail "korvane-server links a display library"

[ "$failures" = 0 ] && echo "server: all checks passed"
exit $((failures > 0))
