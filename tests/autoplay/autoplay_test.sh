#!/usr/bin/env bash
# korvane-autoplay end to end: whole games with no input on the real display
# code. Usage: autoplay_test.sh TOOL DATA_DIR TEST_DATA_DIR (under a display).
set -u
tool=$1 data=$2 testdata=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# play NAME DIR ARGS...: runs a game in DIR; stdout to NAME.out, the lines that
# must repeat run for run (timing dropped) to NAME.record, status to $status.
play() {
    local name=$1 dir=$2
    shift 2
    (cd "$dir" && "$tool" "$@" >"$work/$name.out" 2>"$work/$name.err")
    status=$?
    grep -v -e '^tick time: ' -e '^frame time: ' "$work/$name.out" >"$work/$name.record"
}

# Bad command lines: a reason and the usage on stderr, status 2, no game.
while read -r args; do
    play bad "$data" $args
    [ "$status" = 2 ] || fail "'$args' exits with $status, not 2"
    head -n 1 "$work/bad.err" | grep -q '^korvane-autoplay: ' || fail "'$args' gives no reason"
    grep -q '^usage: korvane-autoplay' "$work/bad.err" || fail "'$args' shows no usage"
    [ -s "$work/bad.out" ] && fail "'$args' printed a record"
done <<'TABLE'
--players 5
--players 1
--seed -1
--seed 12x
--max-rounds 0
--map
--map nosuchmap
--map ../map1
--fast
--save-at-round 0 x.korvane
--save-at-round 3
--resume
--seat 3=hard
--seat 1=grandmaster
--seat 1hard
--seat 5=easy --players 4
--seat 2=turtle --save-at-round 3 x.korvane
--seat 1=ambush --snapshots x
--resume x.korvane --seat 1=hard
TABLE

# Snapshots that cannot be resumed: one line naming the file and why, status 1.
printf 'korvane-save 1 map1 100 0123456789abcdef\nshort' >"$work/cut.korvane"
while read -r file reason; do
    play resume "$data" --resume "$work/$file"
    [ "$status" = 1 ] || fail "--resume $file exits with $status, not 1"
    grep -qx "korvane-autoplay: cannot resume $work/$file: $reason" "$work/resume.err" ||
        fail "--resume $file: $(cat "$work/resume.err")"
done <<'TABLE'
none.korvane No such file or directory
cut.korvane the file is cut short (46 bytes of 141)
TABLE

# What ends the tool early shows in its status, 1, for the scripts that run
# it: no display (DISPLAY naming no server; SDL's X11 driver, as otherwise it
# would try its terminal drivers next), or a damaged data file.
DISPLAY=:none SDL_VIDEODRIVER=x11 play nodisplay "$data" --map map1 </dev/null
[ "$status" = 1 ] || fail "without a display it exits with $status, not 1"
grep -q '^No display: SDL cannot start its video (.*)$' "$work/nodisplay.err" ||
    fail "without a display it says: $(cat "$work/nodisplay.err")"
[ -s "$work/nodisplay.out" ] && fail "without a display it printed a record"
cp -r "$testdata" "$work/damaged"
truncate -s 2000 "$work/damaged/Models/smallfighter.ase"
play damaged "$work/damaged" --map map1 </dev/null
[ "$status" = 1 ] || fail "with a damaged model it exits with $status, not 1"
grep -q '^Model file Models/smallfighter.ase is damaged: ' "$work/damaged.err" ||
    fail "with a damaged model it says: $(tail -n 1 "$work/damaged.err")"

# The test data's paper-thin hulls and long beams: the first player wins in
# its first turn.
play thin "$testdata" --map map1 --seed 4
[ "$status" = 0 ] || fail "test-data game exits with $status"
tail -n 1 "$work/thin.out" | grep -qx 'winner 1 after 1 rounds' || fail "test-data game: $(tail -n 1 "$work/thin.out")"
grep -q '^round 1: P1 5 ships [0-9]* fighters hull [0-9]*, P2 0 ships 0 fighters hull 0; destroyed P2 ' \
    "$work/thin.out" || fail "the round line does not show the loser's fleet gone"
grep -q '^tick time: median [0-9.]* ms, p99 [0-9.]* ms, max [0-9.]* ms over [0-9]* ticks$' "$work/thin.out" ||
    fail "no tick times"

# The real data, capped before a winner: the same lines on a second run.
play first "$data" --map map2 --seed 4 --max-rounds 3
play second "$data" --map map2 --seed 4 --max-rounds 3
[ "$status" = 0 ] || fail "capped game exits with $status"
[ "$(grep -c '^round [1-3]: P1 .*, P2 .*; destroyed ' "$work/first.record")" = 3 ] || fail "not three round lines"
tail -n 1 "$work/first.out" | grep -qx 'winner none after 3 rounds' || fail "capped game: $(tail -n 1 "$work/first.out")"
cmp -s "$work/first.record" "$work/second.record" || fail "two runs differ: $(diff "$work/first.record" "$work/second.record")"

# Watching draws a frame a tick, whose flicker must not take random numbers
# from the game: in the first round of three players the third already
# fires, and its bullets' spread shows in the hull left.
play plain "$data" --map map1 --players 3 --seed 1 --max-rounds 1
play watched "$data" --map map1 --players 3 --seed 1 --max-rounds 1 --watch
cmp -s "$work/plain.record" "$work/watched.record" || fail "a watched game differs: $(diff "$work/plain.record" "$work/watched.record")"
grep -q '^frame time: median [0-9.]* ms, p95 [0-9.]* ms, max [0-9.]* ms over [0-9]* frames$' "$work/watched.out" ||
    fail "a watched game reports no frame times"

[ "$failures" = 0 ] && echo "autoplay: all checks passed"
exit $((failures > 0))
