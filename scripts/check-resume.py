#!/usr/bin/env python3
# Checks that a resumed game is the same game: for every map, 2, 3 and 4
# players and seeds FIRST to LAST, korvane-autoplay plays the game once,
# writing the snapshot of every hand-over between rounds (--snapshots), and
# the game is resumed (--resume) from three of them: after the first round,
# in the middle and before the last round. The rounds and the winner line of
# each resumed run must be exactly those lines of the uninterrupted run
# (timing lines aside). With --literal the snapshot is taken by a separate run
# with --save-at-round R FILE, whose lines must be the first rounds of the
# uninterrupted run. --seat N=PLAYER (easy or hard, repeatable) gives seat N
# to that computer level in every game with that many players; the resumed
# runs bring their seats from the snapshot.
#
# Run from the game's data directory under a display:
#   cd build/data && ../../tests/with-xvfb.sh python3 ../../scripts/check-resume.py --jobs 2
#
# Prints one line per failure and a closing summary; exit status 1 on any failure.

import argparse
import concurrent.futures
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time

TIMING = ("tick time: ", "frame time: ")


def record(output):
    return [line for line in output.splitlines() if not line.startswith(TIMING)]


def run(args, autoplay):
    result = subprocess.run([autoplay] + args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                            timeout=600)
    return result.returncode, result.stdout, result.stderr


def save_points(rounds):
    # After the first round, the middle, before the last; fewer when the game is short.
    return sorted({r for r in (2, (rounds + 2) // 2, rounds) if 2 <= r <= rounds})


def check_game(autoplay, game_map, players, seed, literal, seats):
    failures = []
    folder = tempfile.mkdtemp(prefix="korvane-resume-")
    try:
        base = ["--map", game_map, "--players", str(players), "--seed", str(seed)]
        for seat, player in sorted(seats.items()):
            if seat <= players:
                base += ["--seat", "%d=%s" % (seat, player)]
        status, out, err = run(base + ["--snapshots", folder], autoplay)
        whole = record(out)
        if status != 0 or not whole or not whole[-1].startswith("winner "):
            return 0, ["%s %dp seed %d: the uninterrupted run failed (%d): %s" % (game_map, players, seed, status,
                                                                                   err.strip()[-300:])]
        rounds = int(whole[-1].split()[-2])
        points = save_points(rounds)
        for r in points:
            path = os.path.join(folder, "round-%d.korvane" % r)
            if literal:
                path = os.path.join(folder, "saved-%d.korvane" % r)
                status, out, err = run(base + ["--save-at-round", str(r), path], autoplay)
                if status != 0 or record(out) != whole[:r - 1]:
                    failures.append("%s %dp seed %d round %d: --save-at-round printed\n%s" % (
                        game_map, players, seed, r, out))
                    continue
            status, out, err = run(["--resume", path], autoplay)
            resumed = record(out)
            if status != 0 or resumed != whole[r - 1:]:
                failures.append("%s %dp seed %d round %d: the resumed game differs (%d)\n  resumed: %s\n  whole:   %s"
                                % (game_map, players, seed, r, status, "\n           ".join(resumed[:3]),
                                   "\n           ".join(whole[r - 1:r + 2])))
        return len(points), failures
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--autoplay", default="../tools/korvane-autoplay")
    parser.add_argument("--first", type=int, default=1)
    parser.add_argument("--last", type=int, default=100)
    parser.add_argument("--maps", nargs="*")
    parser.add_argument("--players", nargs="*", type=int, default=[2, 3, 4])
    parser.add_argument("--jobs", type=int, default=1)
    parser.add_argument("--literal", action="store_true")
    parser.add_argument("--progress", action="store_true", help="a line per game")
    parser.add_argument("--seat", action="append", default=[], metavar="N=PLAYER",
                        help="who plays seat N: easy or hard (repeatable)")
    args = parser.parse_args()
    seats = {int(choice.split("=")[0]): choice.split("=")[1] for choice in args.seat}
    maps = args.maps or sorted(os.path.basename(p)[:-4] for p in glob.glob("Models/Maps/map?.ase"))
    autoplay = os.path.abspath(args.autoplay)
    games = [(m, p, s) for m in maps for p in args.players for s in range(args.first, args.last + 1)]
    started = time.time()
    checked = 0
    failures = []
    with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
        for game, (points, failed) in zip(games, pool.map(lambda g: check_game(autoplay, g[0], g[1], g[2],
                                                                                 args.literal, seats),
                                                                  games)):
            checked += points
            failures += failed
            for line in failed:
                print("FAIL " + line, flush=True)
            if args.progress:
                print("%s %dp seed %d: %d resumed runs, %d failures" % (game + (points, len(failed))), flush=True)
    chosen = "".join("; seat %d %s" % choice for choice in sorted(seats.items()))
    print("%d games (%s; %s players; seeds %d-%d%s), %d resumed runs, %d failures, %.0f s"
          % (len(games), " ".join(maps), ",".join(map(str, args.players)), args.first, args.last, chosen,
             checked, len(failures), time.time() - started))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
