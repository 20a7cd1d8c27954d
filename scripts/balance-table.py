#!/usr/bin/env python3
"""Plays many korvane-autoplay games and prints a table of who won.

Run it from the game's data directory under a display, for example:

    cd build/data && ../../tests/with-xvfb.sh nice python3 ../../scripts/balance-table.py

Without --versus it prints the balance table of docs/data.md: every map with
2, 3 and 4 players, the seats played by the scripted player, or by --all
PLAYER, or as --seat N=PLAYER gives them. With --versus A:B it plays 2-player
games of A against B, every seed with A in seat 1 and again with A in seat 2
(the seats swapped), and prints one row per map and one for all maps
(docs/ai.md). Every game is one run of ../tools/korvane-autoplay; the last
line of each run ("winner P after R rounds") is all that is read. --log FILE
keeps every game's result line.
"""
import argparse
import concurrent.futures
import re
import statistics
import subprocess
import sys

WINNER = re.compile(r"^winner (none|\d+) after (\d+) rounds$")


def play(tool, game_map, players, seed, max_rounds, seats):
    args = [tool, "--map", game_map, "--players", str(players), "--seed", str(seed),
            "--max-rounds", str(max_rounds)]
    for seat, player in sorted(seats.items()):
        if seat <= players and player != "easy":
            args += ["--seat", f"{seat}={player}"]
    run = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, timeout=3600)
    lines = run.stdout.strip().splitlines()
    match = WINNER.match(lines[-1]) if lines else None
    if run.returncode != 0 or not match:
        sys.exit(f"{' '.join(args)}: exit {run.returncode}, last line {lines[-1] if lines else None!r}")
    winner = None if match.group(1) == "none" else int(match.group(1))
    return game_map, players, seed, winner, int(match.group(2)), seats


def percent(part, whole):
    return f"{100 * part / whole:.0f}%" if whole else "-"


def seat_table(results, maps, player_counts):
    print("| Map | Players | Games won | Median rounds | Worst | Wins per seat |")
    print("|---|---|---|---|---|---|")
    for game_map in maps:
        for players in player_counts:
            rows = [r for r in results if r[0] == game_map and r[1] == players]
            won = [r for r in rows if r[3] is not None]
            rounds = [r[4] for r in won]
            median = f"{statistics.median(rounds):g}" if rounds else "-"
            worst = str(max(r[4] for r in rows)) + ("" if len(won) == len(rows) else " (no winner)")
            seats = " / ".join(f"{100 * sum(1 for r in won if r[3] == seat) // max(len(won), 1)}%"
                               for seat in range(1, players + 1))
            print(f"| {game_map} | {players} | {len(won)} of {len(rows)} | {median} | {worst} | {seats} |")


def versus_table(results, maps, first, second):
    print(f"| Map | Games | {first} wins | {second} wins | No winner | Median rounds | Worst |")
    print("|---|---|---|---|---|---|---|")
    for game_map in maps + ["all"]:
        rows = [r for r in results if game_map == "all" or r[0] == game_map]
        won_first = sum(1 for r in rows if r[3] is not None and r[5][r[3]] == first)
        won_second = sum(1 for r in rows if r[3] is not None and r[5][r[3]] == second)
        draws = sum(1 for r in rows if r[3] is None)
        rounds = [r[4] for r in rows if r[3] is not None]
        median = f"{statistics.median(rounds):g}" if rounds else "-"
        worst = max(r[4] for r in rows) if rows else "-"
        print(f"| {game_map} | {len(rows)} | {won_first} ({percent(won_first, len(rows))}) | "
              f"{won_second} ({percent(won_second, len(rows))}) | {draws} ({percent(draws, len(rows))}) | "
              f"{median} | {worst} |")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tool", default="../tools/korvane-autoplay")
    parser.add_argument("--maps", default="map1,map2,map3,map4")
    parser.add_argument("--players", default="2,3,4")
    parser.add_argument("--seeds", type=int, default=10, help="seeds 1 to N for every map and player count")
    parser.add_argument("--first-seed", type=int, default=1)
    parser.add_argument("--max-rounds", type=int, default=60)
    parser.add_argument("--seat", action="append", default=[], metavar="N=PLAYER",
                        help="who plays seat N (easy, hard or an exploit bot); repeatable")
    parser.add_argument("--all", metavar="PLAYER", help="every seat played by PLAYER")
    parser.add_argument("--versus", metavar="A:B", help="2-player games of A against B, seats swapped")
    parser.add_argument("--jobs", type=int, default=1)
    parser.add_argument("--log")
    options = parser.parse_args()

    maps = options.maps.split(",")
    seeds = range(options.first_seed, options.first_seed + options.seeds)
    if options.versus:
        first, second = options.versus.split(":")
        games = [(m, 2, s, {1: a, 2: b}) for m in maps for s in seeds for a, b in ((first, second), (second, first))]
    else:
        player_counts = [int(p) for p in options.players.split(",")]
        seats = {seat: options.all or "easy" for seat in range(1, 5)}
        for choice in options.seat:
            seat, player = choice.split("=")
            seats[int(seat)] = player
        games = [(m, p, s, seats) for m in maps for p in player_counts for s in seeds]
    with concurrent.futures.ThreadPoolExecutor(options.jobs) as pool:
        results = list(pool.map(lambda g: play(options.tool, g[0], g[1], g[2], options.max_rounds, g[3]), games))
    if options.log:
        with open(options.log, "w") as log:
            for game_map, players, seed, winner, rounds, seats in results:
                names = ",".join(seats[s] for s in range(1, players + 1))
                log.write(f"{game_map} {players} {seed} {names} {winner or 'none'} {rounds}\n")

    if options.versus:
        versus_table(results, maps, first, second)
    else:
        seat_table(results, maps, player_counts)


if __name__ == "__main__":
    main()
