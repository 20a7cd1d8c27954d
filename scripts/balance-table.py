#!/usr/bin/env python3
"""Plays many korvane-autoplay games and prints the balance table of docs/data.md.

Run it from the game's data directory under a display, for example:

    cd build/data && ../../tests/with-xvfb.sh nice python3 ../../scripts/balance-table.py

Every game is one run of ../tools/korvane-autoplay; the last line of each run
("winner P after R rounds") is all that is read. --log FILE keeps every
game's result line.
"""
import argparse
import concurrent.futures
import re
import statistics
import subprocess
import sys

WINNER = re.compile(r"^winner (none|\d+) after (\d+) rounds$")


def play(tool, game_map, players, seed, max_rounds):
    args = [tool, "--map", game_map, "--players", str(players), "--seed", str(seed),
            "--max-rounds", str(max_rounds)]
    run = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, timeout=3600)
    lines = run.stdout.strip().splitlines()
    match = WINNER.match(lines[-1]) if lines else None
    if run.returncode != 0 or not match:
        sys.exit(f"{' '.join(args)}: exit {run.returncode}, last line {lines[-1] if lines else None!r}")
    winner = None if match.group(1) == "none" else int(match.group(1))
    return game_map, players, seed, winner, int(match.group(2))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tool", default="../tools/korvane-autoplay")
    parser.add_argument("--maps", default="map1,map2,map3,map4")
    parser.add_argument("--players", default="2,3,4")
    parser.add_argument("--seeds", type=int, default=10, help="seeds 1 to N for every map and player count")
    parser.add_argument("--max-rounds", type=int, default=60)
    parser.add_argument("--jobs", type=int, default=1)
    parser.add_argument("--log")
    options = parser.parse_args()

    games = [(m, int(p), s) for m in options.maps.split(",") for p in options.players.split(",")
             for s in range(1, options.seeds + 1)]
    with concurrent.futures.ThreadPoolExecutor(options.jobs) as pool:
        results = list(pool.map(lambda g: play(options.tool, *g, options.max_rounds), games))
    if options.log:
        with open(options.log, "w") as log:
            for game_map, players, seed, winner, rounds in results:
                log.write(f"{game_map} {players} {seed} {winner or 'none'} {rounds}\n")

    print("| Map | Players | Games won | Median rounds | Worst | Wins per seat |")
    print("|---|---|---|---|---|---|")
    for game_map in options.maps.split(","):
        for players in map(int, options.players.split(",")):
            rows = [r for r in results if r[0] == game_map and r[1] == players]
            won = [r for r in rows if r[3] is not None]
            rounds = [r[4] for r in won]
            median = f"{statistics.median(rounds):g}" if rounds else "-"
            worst = str(max(r[4] for r in rows)) + ("" if len(won) == len(rows) else " (no winner)")
            seats = " / ".join(f"{100 * sum(1 for r in won if r[3] == seat) // max(len(won), 1)}%"
                               for seat in range(1, players + 1))
            print(f"| {game_map} | {players} | {len(won)} of {len(rows)} | {median} | {worst} | {seats} |")


if __name__ == "__main__":
    main()
