#!/usr/bin/env bash
# Checks the current commit the way a newcomer's machine meets it: a minimal
# Debian 12 root made with debootstrap, a clean clone of the commit in it,
# then, inside it (chroot, as root, no display, no locale), CI as it runs
# (`CI=true bash .ci/run`) and the README's play command for 20 seconds under
# the private X server it starts by itself. Takes an hour or more; not part of
# .ci/run. Run as root. The last line is `fresh-check: passed` or
# `fresh-check: failed: <what>`, and the exit status says the same.
#
#   bash scripts/fresh-check.sh [--dir DIR] [--keep] [--time-limit MINUTES] [--mirror URL]
#
# --dir         where the root and the logs go (default /var/tmp/korvane-fresh-check);
#               a directory this script made before is emptied first
# --keep        keep the root afterwards (DIR/root), to look around in it with chroot
# --time-limit  the whole run ends, failed, after this many minutes (default 240)
# --mirror      the Debian mirror (default http://deb.debian.org/debian)
#
# Only the committed state is checked: changes not committed are not in the clone.
set -uo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
dir=/var/tmp/korvane-fresh-check
keep=0
limit_minutes=240
mirror=http://deb.debian.org/debian
play_seconds=20
marker=.korvane-fresh-check

say() { echo "fresh-check: $*" >&2; }
usage() {
    sed -n '10,16p' "$0" | sed 's/^# \{0,1\}//' >&2
    echo "fresh-check: failed: bad arguments"
    exit 2
}
while [ $# -gt 0 ]; do
    case $1 in
    --dir) [ $# -ge 2 ] || usage; dir=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    --time-limit) [ $# -ge 2 ] && [[ $2 =~ ^[1-9][0-9]*$ ]] || usage; limit_minutes=$2; shift 2 ;;
    --mirror) [ $# -ge 2 ] || usage; mirror=$2; shift 2 ;;
    *) usage ;;
    esac
done

dir=$(realpath -m "$dir")
started=$(date +%s)
deadline=$((started + limit_minutes * 60))
rootfs=$dir/root
logs=$dir/logs
session=""     # the process group of the phase running in the root, if any
outcome=""     # the closing line's text once decided

elapsed() {
    local s=$(($(date +%s) - started))
    printf '%dh %02dm %02ds' $((s / 3600)) $((s % 3600 / 60)) $((s % 60))
}

# Processes whose root directory is ours: only what this script started runs there.
processes_in_root() {
    local p
    for p in /proc/[0-9]*; do
        if [ "$(readlink "$p/root" 2>/dev/null)" = "$rootfs" ]; then
            echo "${p#/proc/}"
        fi
    done
}

# Ends the phase running in the root (its process group), then anything else
# left in the root, each by its id: TERM, and KILL after a grace period.
stop_root_processes() {
    local pids p
    if [ -n "$session" ]; then
        kill -TERM -- "-$session" 2>/dev/null
    fi
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        pids=$(processes_in_root)
        [ -z "$pids" ] && break
        for p in $pids; do kill -TERM "$p" 2>/dev/null; done
        sleep 1
    done
    for p in $(processes_in_root); do kill -KILL "$p" 2>/dev/null; done
    if [ -n "$session" ]; then
        kill -KILL -- "-$session" 2>/dev/null
        wait "$session" 2>/dev/null
        session=""
    fi
}

unmount_root() {
    local m
    # Everything mounted in the root, deepest first: proc, sys, dev, /tmp,
    # the root's binding onto itself, and what the tests leave (the
    # /run/netns that `ip netns add` binds).
    for m in $(awk -v r="$rootfs" '$2 == r || index($2, r "/") == 1 { print $2 }' /proc/self/mounts |
        sort -r); do
        if mountpoint -q "$m" 2>/dev/null; then
            umount -R "$m" 2>/dev/null || umount -R -l "$m" 2>/dev/null || say "could not unmount $m"
        fi
    done
}

still_mounted() {
    grep -q " $rootfs[/ ]" /proc/self/mounts
}

cleanup() {
    trap - EXIT INT TERM
    if [ -d "$rootfs" ]; then
        stop_root_processes
        unmount_root
        if still_mounted; then
            say "something is still mounted under $rootfs; the root is kept"
        elif [ "$keep" = 0 ]; then
            rm -rf --one-file-system "$rootfs"
        else
            say "the root is kept in $rootfs"
        fi
    fi
    say "took $(elapsed); logs in $logs"
    if [ -z "$outcome" ]; then
        outcome="failed: ended unexpectedly"
    fi
    echo "fresh-check: $outcome"
    [ "$outcome" = passed ]
    exit $?
}

fail() {
    outcome="failed: $*"
    exit 1
}

on_signal() {
    outcome="failed: interrupted"
    exit 130
}

# Starts a command inside the root as a fresh login would have it (no
# display, no locale, root's home), in a process group of its own whose id is
# `session`, niced so that the machine stays usable meanwhile.
start_in_root() {
    setsid nice -n 10 chroot "$rootfs" /usr/bin/env -i HOME=/root TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@" </dev/null &
    session=$!
}

# Runs a command in the root with its output to a log, until it ends or the
# deadline passes. Sets `status` (124 when the deadline ended it).
run_in_root() {
    local log=$1
    shift
    start_in_root "$@" >"$log" 2>&1
    while kill -0 "$session" 2>/dev/null; do
        if [ "$(date +%s)" -ge "$deadline" ]; then
            stop_root_processes
            status=124
            return
        fi
        sleep 5
    done
    wait "$session"
    status=$?
    session=""
}

# The last lines of a log, indented, for a failure.
show_tail() {
    say "last lines of $1:"
    tail -n "${2:-30}" "$1" | sed 's/^/    /' >&2
}

if [ "$(id -u)" -ne 0 ]; then
    echo "fresh-check: failed: run it as root (it makes a root with debootstrap and enters it with chroot)"
    exit 1
fi
if [ -e "$dir" ] && [ ! -e "$dir/$marker" ] && [ -n "$(ls -A "$dir" 2>/dev/null)" ]; then
    echo "fresh-check: failed: $dir exists and was not made by this script; give another --dir"
    exit 1
fi
trap cleanup EXIT
trap on_signal INT TERM

commit=$(git -C "$repo" rev-parse HEAD) || fail "$repo is not a git work tree"
if [ -n "$(git -C "$repo" status --porcelain --untracked-files=no)" ]; then
    say "note: $repo has changes that are not committed; only commit ${commit:0:12} is checked"
fi

# A root left by an earlier run (kept, or interrupted hard) goes first.
if [ -d "$rootfs" ]; then
    say "removing the root of an earlier run"
    stop_root_processes
    unmount_root
    still_mounted && fail "something is still mounted under $rootfs"
    rm -rf --one-file-system "$rootfs"
fi
mkdir -p "$dir" "$logs" || fail "cannot make $dir"
touch "$dir/$marker"
rm -f "$logs"/*.log

if ! command -v debootstrap >/dev/null 2>&1; then
    say "installing debootstrap"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap \
        >"$logs/debootstrap-install.log" 2>&1 ||
        { show_tail "$logs/debootstrap-install.log"; fail "cannot install debootstrap"; }
fi

say "making a minimal Debian 12 root in $rootfs ($(date '+%H:%M'))"
timeout --kill-after=30 $((deadline - $(date +%s))) \
    debootstrap --variant=minbase bookworm "$rootfs" "$mirror" >"$logs/debootstrap.log" 2>&1 ||
    { show_tail "$logs/debootstrap.log"; fail "debootstrap could not make the root"; }
# What a fresh installation has and debootstrap leaves out: the update and
# security suites, a name resolver and localhost.
cat >"$rootfs/etc/apt/sources.list" <<EOF
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
EOF
cp /etc/resolv.conf "$rootfs/etc/resolv.conf"
printf '127.0.0.1\tlocalhost\n::1\t\tlocalhost ip6-localhost ip6-loopback\n' >"$rootfs/etc/hosts"

say "cloning commit ${commit:0:12} into the root"
clone=$rootfs/root/korvane
{ git init -q "$clone" && git -C "$clone" fetch -q "$repo" "$commit" &&
    git -C "$clone" checkout -q --detach FETCH_HEAD; } >"$logs/clone.log" 2>&1 ||
    { show_tail "$logs/clone.log"; fail "cannot clone $commit"; }
[ "$(git -C "$clone" rev-parse HEAD)" = "$commit" ] || fail "the clone is not at $commit"

# The root bound onto itself, so that / is a mount point inside it as on a
# machine of its own: `ip netns exec` (the network fault tests) makes / a
# slave mount, which a plain directory cannot be.
mount --bind "$rootfs" "$rootfs" && mount --make-private "$rootfs" &&
    mount -t proc proc "$rootfs/proc" &&
    mount -t sysfs sysfs "$rootfs/sys" &&
    mount --rbind /dev "$rootfs/dev" && mount --make-rslave "$rootfs/dev" &&
    mount -t tmpfs -o mode=1777 tmpfs "$rootfs/tmp" ||
    fail "cannot mount the root, proc, sys, dev and /tmp in it"

say "running CI=true bash .ci/run in the root ($(date '+%H:%M')); log: $logs/ci.log"
run_in_root "$logs/ci.log" CI=true bash -c 'cd /root/korvane && bash .ci/run'
if [ "$status" = 124 ]; then
    show_tail "$logs/ci.log"
    fail "CI did not finish within the time limit ($limit_minutes minutes)"
elif [ "$status" != 0 ]; then
    show_tail "$logs/ci.log" 40
    fail "CI=true bash .ci/run exited with status $status"
fi
say "CI passed after $(elapsed)"

# The README's play command. Without DISPLAY it says so and starts the game
# under its own virtual X server: from that line the game gets its 20 seconds.
say "running bash scripts/play.sh for ${play_seconds} seconds; logs: $logs/play.out.log, $logs/play.err.log"
start_in_root bash -c 'cd /root/korvane && exec bash scripts/play.sh' >"$logs/play.out.log" 2>"$logs/play.err.log"
play_until=""
while kill -0 "$session" 2>/dev/null; do
    now=$(date +%s)
    if [ -z "$play_until" ] && grep -q '^No display (DISPLAY is not set)' "$logs/play.err.log"; then
        play_until=$((now + play_seconds))
    fi
    if [ -n "$play_until" ] && [ "$now" -ge "$play_until" ]; then
        break
    fi
    if [ "$now" -ge "$deadline" ]; then
        stop_root_processes
        show_tail "$logs/play.err.log"
        fail "the play command did not start the game within the time limit"
    fi
    sleep 1
done
# What the game wrote while it ran; its stopping is ours, not its output.
cp "$logs/play.err.log" "$logs/play.checked.log"
if ! kill -0 "$session" 2>/dev/null; then
    wait "$session"
    status=$?
    session=""
    show_tail "$logs/play.err.log"
    fail "the play command ended by itself (status $status) before its ${play_seconds} seconds were up"
fi
stop_root_processes

# The game loaded its intro (the intro's map regions are set up) and wrote no
# error: none of its own messages, no sanitizer or driver complaint, no crash.
problems=$(grep -n -E '[Ee]rror|ERROR|[Ww]arning|[Ff]ailed|[Ff]atal|Sanitizer|not found|damaged|No OpenGL|No display:|Segmentation|Aborted|core dumped|MESA|libGL' \
    "$logs/play.checked.log")
if [ -n "$problems" ]; then
    say "the play command's standard error:"
    echo "$problems" | head -n 20 | sed 's/^/    /' >&2
    fail "the play command wrote errors to its standard error (see $logs/play.checked.log)"
fi
if ! grep -q '^Setting up map region 0$' "$logs/play.checked.log"; then
    show_tail "$logs/play.checked.log"
    fail "the game did not reach its intro within ${play_seconds} seconds"
fi
say "the game ran its intro for ${play_seconds} seconds without an error"
outcome=passed
