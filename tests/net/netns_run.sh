#!/usr/bin/env bash
# Runs a command inside a network namespace of its own that this script
# makes and removes: only its loopback, up. With NETEM set (such as
# "loss 10% delay 200ms") it puts tc netem on that loopback when the kernel
# has netem, and says so to the command in KORVANE_NETEM_ACTIVE=1; without
# netem the command brings its own lossy link. Needs root (status 77, a
# skip, without it).
#
#   NETEM="loss 10% delay 200ms" netns_run.sh COMMAND...
set -u
if [ "$(id -u)" -ne 0 ] || ! command -v ip >/dev/null 2>&1; then
    echo "netns_run: needs root and iproute2 to make a network namespace" >&2
    exit 77
fi
ns="korvane-test-$$"
if ! ip netns add "$ns"; then
    echo "netns_run: cannot make a network namespace" >&2
    exit 77
fi
trap 'ip netns del "$ns" 2>/dev/null' EXIT
ip netns exec "$ns" ip link set lo up || exit 1
export KORVANE_NETEM_ACTIVE=0
if [ -n "${NETEM:-}" ]; then
    if ip netns exec "$ns" tc qdisc add dev lo root netem ${NETEM} 2>/dev/null; then
        KORVANE_NETEM_ACTIVE=1
        echo "netns_run: tc netem ${NETEM} on the namespace's loopback" >&2
    else
        echo "netns_run: this kernel has no netem; the command brings its own lossy link" >&2
    fi
fi
ip netns exec "$ns" "$@"
