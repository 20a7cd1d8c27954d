#!/usr/bin/env python3
"""Whole network games between processes, checked against korvane-autoplay.

For every map, number of players and seed asked for, it plays the game once
with korvane-autoplay alone (the reference record), then again through a
korvane-server on loopback with one korvane-autoplay process per seat (the
host plays seat 1, one joining process each other seat), and checks that
every process prints the reference record (the timing lines aside) and that
the relay logged no mismatch. Every machine checks the hash of every turn it
loads; a mismatch ends it with status 1.

Faults (--fault):
  loss   every datagram 10% lost and 200 ms late; with tc netem when the
         kernel has it (tests/net/netns_run.sh applies it and says so in
         KORVANE_NETEM_ACTIVE), else through net_lossy_proxy
  kill   the process of seat 2 is killed while its turn is being played and
         started again with the same code and name: it comes back into its
         seat and every process ends with the reference winner
  noise  a machine that sends random bytes joins the relay mid-game: it is
         dropped and the game ends with the reference record

Run it from the game's data directory. The game takes the whole screen and
its input, so that two games on one display would wait for each other:
every korvane-autoplay process runs under a virtual X server of its own
(--xvfb, tests/with-xvfb.sh).

    cd build/data && python3 ../../scripts/check-network.py --xvfb ../../tests/with-xvfb.sh \\
        --autoplay ../tools/korvane-autoplay --server ../korvane-server --maps map1 --first 1 --last 3

Every process and every wait is bounded in time.
"""

import argparse
import os
import random
import re
import signal
import socket
import subprocess
import sys
import tempfile
import time

TIMING = re.compile(r"^(tick|frame) time: ")


def record(text):
    return [line for line in text.splitlines() if not TIMING.match(line)]


def free_port():
    for _ in range(50):
        port = random.randint(20000, 60000)
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
            try:
                s.bind(("127.0.0.1", port))
                return port
            except OSError:
                continue
    raise RuntimeError("no free UDP port")


def wait_for_line(path, pattern, seconds, interval=0.05):
    deadline = time.time() + seconds
    regex = re.compile(pattern, re.M)
    while time.time() < deadline:
        try:
            with open(path) as f:
                if regex.search(f.read()):
                    return True
        except OSError:
            pass
        time.sleep(interval)
    return False


class Case:
    def __init__(self, args, work, game_map, players, seed):
        self.args = args
        self.work = work
        self.map = game_map
        self.players = players
        self.seed = seed
        self.name = f"{game_map} {players}p seed {seed}"
        self.code = "NET%06d" % random.randint(0, 999999)
        self.procs = []
        self.names = []
        self.killed_turn = 0
        self.turns = 0  # the turns the relay passed on, each loaded and its hash checked by every other machine

    def autoplay(self):
        return [self.args.xvfb, self.args.autoplay]

    def game_args(self):
        return ["--map", self.map, "--players", str(self.players), "--seed", str(self.seed),
                "--max-rounds", str(self.args.max_rounds)]

    def reference(self):
        out = subprocess.run(self.autoplay() + self.game_args(), capture_output=True, text=True,
                             timeout=self.args.game_timeout)
        if out.returncode != 0:
            raise RuntimeError(f"reference game failed: {out.stderr}")
        return record(out.stdout)

    def start(self, name, argv):
        out = open(os.path.join(self.work, name + ".out"), "w")
        err = open(os.path.join(self.work, name + ".err"), "w")
        # A process group of its own: the game and its virtual X server are
        # stopped and killed together.
        proc = subprocess.Popen(argv, stdout=out, stderr=err, stdin=subprocess.DEVNULL, start_new_session=True)
        self.procs.append(proc)
        self.names.append(name)
        return proc

    def read(self, name, ext="out"):
        with open(os.path.join(self.work, f"{name}.{ext}")) as f:
            return f.read()

    def machine(self, seat, port):
        relay = f"127.0.0.1:{port}"
        if seat == 1:
            net = ["--host", relay, "--code", self.code, "--name", "P1", "--seats", "1"]
        else:
            net = ["--join", relay, "--code", self.code, "--name", f"P{seat}"]
        # A lossy link can hold a turn back for a long while (ENet doubles
        # its wait after every lost try).
        wait = "300" if self.args.fault == "loss" else "120"
        return self.autoplay() + self.game_args() + net + ["--net-timeout", wait]

    def play(self):
        expected = self.reference()
        port = free_port()
        log = os.path.join(self.work, "relay.err")
        self.start("relay", [self.args.server, "--address", "127.0.0.1", "--port", str(port),
                             "--code", self.code])
        if not wait_for_line(log, r"^korvane-server: listening", 10):
            return [f"the relay did not start: {self.read('relay', 'err')}"]
        link = port
        if self.args.fault == "loss" and os.environ.get("KORVANE_NETEM_ACTIVE") != "1":
            link = free_port()
            self.start("proxy", [self.args.proxy, str(link), str(port), "0.1", "200",
                                 str(self.args.game_timeout), str(self.seed)])
            time.sleep(0.2)
        machines = {}
        for seat in range(1, self.players + 1):
            machines[seat] = self.start(f"P{seat}", self.machine(seat, link))
            # One at a time, so that process k takes seat k.
            joined = r"join: host " if seat == 1 else rf"join: seat {seat} "
            if not wait_for_line(log, r"^korvane-server: " + joined, 60):
                return [f"P{seat} did not join: {self.read('relay', 'err')}"]

        problems = []
        if self.args.fault == "kill":
            problems += self.kill_and_restart(machines, link, log)
        if self.args.fault == "noise":
            problems += self.noise(port, log)

        deadline = time.time() + self.args.game_timeout
        for seat, proc in list(machines.items()):
            try:
                proc.wait(timeout=max(1, deadline - time.time()))
            except subprocess.TimeoutExpired:
                problems.append(f"P{seat} did not finish in time")
        if "proxy" in self.names:
            proxy = self.procs[self.names.index("proxy")]
            proxy.terminate()
            proxy.wait(timeout=10)
        relay_log = self.read("relay", "err")
        if "mismatch" in relay_log:
            problems.append("the relay logged a mismatch")
        if any(proc.returncode != 0 for proc in machines.values()):
            events = [l for l in relay_log.splitlines() if re.search(r": (timeout|leave|drop|rejoin|refused): ", l)]
            last_turn = [l for l in relay_log.splitlines() if ": turn " in l][-1:]
            problems.append("the relay's events: " + " | ".join(events[:8] + last_turn))
        for seat, proc in machines.items():
            name = f"P{seat}"
            if proc.returncode != 0:
                said = [l for l in self.read(name, "err").splitlines() if l.startswith("korvane-autoplay: ")]
                problems.append(f"{name} exited with {proc.returncode}: " + " | ".join(said[-5:]))
                continue
            got = record(self.read(name))
            if self.args.fault == "kill" and seat == 2:
                if not got or got[-1] != expected[-1]:
                    problems.append(f"restarted {name} ends with {got[-1:]} instead of {expected[-1]}")
            elif got != expected:
                problems.append(f"{name}'s record differs:\n  expected {expected}\n  got      {got}")
        turns = len(re.findall(r"^korvane-server: turn \d+: ", relay_log, re.M))
        self.turns = turns
        if turns == 0:
            problems.append("the relay passed no turn on")
        if self.args.fault == "kill":
            # Killed before it ended its turn: it came back before that turn arrived.
            back = relay_log.rfind("rejoin: seat 2 ")
            ended = relay_log.find(f"turn {self.killed_turn + 1}: seat 2 ended")
            if self.killed_turn == 0 or back < 0 or ended < 0 or ended < back:
                lines = [l for l in relay_log.splitlines() if "seat 2" in l or "rejoin" in l or "drop" in l]
                problems.append(f"P2 was not killed during its turn {self.killed_turn + 1}: " + " | ".join(lines[:12]))
        if "proxy" in self.names:
            lost = re.search(r"dropped (\d+)", self.read("proxy", "err"))
            if not lost or int(lost.group(1)) == 0:
                problems.append(f"the lossy link lost nothing: {self.read('proxy', 'err')}")
        return problems

    def kill_and_restart(self, machines, port, log):
        # Seat 2's process is frozen with SIGSTOP once it has ended a turn,
        # and killed with SIGKILL when the relay has passed it its next one:
        # frozen, it cannot end that turn, so it dies during it, however late
        # this script runs on a busy machine (waiting for a given turn number
        # instead let a starved script freeze it after that turn was over).
        if not wait_for_line(log, r"^korvane-server: turn \d+: seat 2 ended", self.args.game_timeout, interval=0.002):
            return ["seat 2 never ended a turn"]
        os.killpg(machines[2].pid, signal.SIGSTOP)
        time.sleep(1.0)  # whatever it had sent lands
        deadline = time.time() + self.args.game_timeout
        while True:
            turns = re.findall(r"^korvane-server: turn (\d+): (.*)$", self.read("relay", "err"), re.M)
            if turns and "seat 2 next" in turns[-1][1]:
                target = int(turns[-1][0])
                break
            if (turns and "game over" in turns[-1][1]) or time.time() > deadline:
                return ["seat 2's next turn never came"]
            time.sleep(0.05)
        os.killpg(machines[2].pid, signal.SIGKILL)
        machines[2].wait()
        self.killed_turn = target
        os.rename(os.path.join(self.work, "P2.out"), os.path.join(self.work, "P2-killed.out"))
        machines[2] = self.start("P2", self.machine(2, port))
        if not wait_for_line(log, rf"^korvane-server: turn {target + 1}: seat 2 ended", self.args.game_timeout):
            return ["P2 did not come back and play its turn"]
        return []

    def noise(self, port, log):
        if not wait_for_line(log, r"^korvane-server: turn 2: ", self.args.game_timeout):
            return ["turn 2 never came"]
        out = subprocess.run([self.args.noise, "127.0.0.1", str(port), str(self.seed)], capture_output=True,
                             text=True, timeout=30)
        if out.returncode != 0:
            return [f"the noise machine was not dropped: {out.stderr}"]
        if not re.search(r"^korvane-server: drop: ", self.read("relay", "err"), re.M):
            return ["the relay logged no drop"]
        return []

    def stop(self):
        for proc in self.procs:
            if proc.poll() is None:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--autoplay", required=True)
    parser.add_argument("--server", required=True)
    parser.add_argument("--xvfb", required=True, help="tests/with-xvfb.sh")
    parser.add_argument("--proxy")
    parser.add_argument("--noise")
    parser.add_argument("--maps", nargs="+", default=["map1", "map2", "map3", "map4"])
    parser.add_argument("--players", nargs="+", type=int, default=[2, 3, 4])
    parser.add_argument("--first", type=int, default=1)
    parser.add_argument("--last", type=int, default=20)
    parser.add_argument("--max-rounds", type=int, default=50)
    parser.add_argument("--fault", choices=["none", "loss", "kill", "noise"], default="none")
    parser.add_argument("--game-timeout", type=int, default=900, help="seconds for one game")
    args = parser.parse_args()
    for tool in ("proxy", "noise"):
        if args.fault in {"proxy": ["loss"], "noise": ["noise"]}[tool] and not getattr(args, tool):
            parser.error(f"--fault {args.fault} needs --{tool}")

    # A stop by signal ends every process of the game in play too.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    failures = 0
    games = 0
    turns = 0
    for game_map in args.maps:
        for players in args.players:
            for seed in range(args.first, args.last + 1):
                with tempfile.TemporaryDirectory() as work:
                    case = Case(args, work, game_map, players, seed)
                    start = time.time()
                    try:
                        problems = case.play()
                    except (RuntimeError, subprocess.TimeoutExpired) as e:
                        problems = [str(e)]
                    finally:
                        case.stop()
                    games += 1
                    took = time.time() - start
                    if problems:
                        failures += 1
                        print(f"FAIL {case.name} ({args.fault}, {took:.0f} s):", flush=True)
                        for p in problems:
                            print("  " + p, flush=True)
                    else:
                        turns += case.turns
                        print(f"ok   {case.name} ({args.fault}, {case.turns} turns, {took:.0f} s)", flush=True)
    print(f"{games - failures} passed, {failures} failed; {turns} turns passed on in the games that passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
