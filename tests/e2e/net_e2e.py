#!/usr/bin/env python3
# End-to-end test of a network game: two real korvane programs, each under an
# X server of its own (the one tests/with-xvfb.sh gives this script, and a
# second one it starts), meeting through the relay that the host starts on
# 127.0.0.1. Driven with synthetic keys and clicks, checked by what each
# screen shows, the standard error lines and the exit statuses.
#
#   net_e2e.py --game BUILD/korvane --test-data BUILD/data-test [--screenshots DIR] menus|cli
#
# menus: Ann hosts from the menu ("Host", the port typed in, the second seat
#   "Remote"), Bo joins from the menu ("Join": the address, the port and the
#   code typed in, Enter); a wrong code first brings him back to the menu
#   with the refusal under the panel. Ann plays the first turn while Bo's screen names
#   her and counts the seconds; Bo plays the second while Ann waits. Ann
#   leaves with Escape in her next turn; Bo's screen says that she left, Bo
#   presses Y and the computer plays her seat on Bo's machine, watched
#   through Bo's eyes; then Bo's own turn, and Escape.
# cli: the command line. Ann starts with --host, --port and --code (the menu
#   opens with Host chosen, the code and port given); Cy's --join with a
#   wrong code is refused and opens the menu with the reason; Bo's
#   --join skips the menu. Ann leaves during her turn by closing the window
#   (the terminal's interrupt, which reaches the game as the same event):
#   the relay is told at once, as with Escape. She comes back with the
#   same command (her relay still runs and gives her seat back). She plays
#   her turn again while the relay is killed:
#   both games notice that it is gone, say so on a screen and on standard
#   error, and end with status 1 (within ENet's 60 s time-out).

import contextlib
import os
import re
import select
import signal
import socket
import subprocess
import time

import flow_e2e as flow
import korvane_driver as kd
from korvane_driver import check

TITLE_BAND = (0, 0, 102)
TITLE_TEXT = (255, 255, 255)
LINE_TEXT = (153, 153, 255)
PROBLEM = (178, 0, 0)  # the network panel's problem line
ANY = (None, None, None, None)  # the colour anywhere in the search rectangle
TITLE = [("title band", (60, 440, 740, 480), TITLE_BAND, (60, 448, 739, 471))]
WHOSE_TURN = (200, 400, 600, 420)  # the first line under the title
HOST_CHOSEN = (flow.button("Host", 500, 280, 570, 300, flow.HIGHLIGHT)
               + flow.button("seat 2", 150, 300, 290, 320, flow.PLAIN))
JOIN_CHOSEN = flow.button("Join", 580, 280, 650, 300, flow.HIGHLIGHT)
REFUSED = JOIN_CHOSEN + [("the refusal", (470, 100, 799, 148), PROBLEM, ANY)]


def use(display):
    # Every xdotool and xwd call from here on goes to this X server.
    os.environ["DISPLAY"] = display


def free_udp_port():
    # A port nothing on 127.0.0.1 holds now (the relay takes it a moment later).
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start_display():
    # An X server of this test's own, found free by the server itself: its
    # process and its name.
    read, write = os.pipe()
    proc = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "800x600x24", "-nolisten", "tcp",
                             "-noreset"], pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    # The server writes its number and then a newline, in two writes, once it
    # accepts connections; the pipe stays open until both came, since a server
    # whose second write finds no reader gives up.
    ready, _, _ = select.select([read], [], [], 30)
    with os.fdopen(read) as pipe:
        number = pipe.readline().strip() if ready else ""
    check(number.isdigit(), "the second X server did not start")
    return proc, ":" + number


class Network:
    # A free port for the relay, the second X server and every game started on
    # either display; close() ends the games, the relay (by the process id its
    # host gave) and the second X server.
    def __init__(self):
        self.port, self.first = free_udp_port(), os.environ["DISPLAY"]
        self.xvfb, self.second = start_display()
        self.games, self.relay_pid = [], None

    def start(self, args, arguments, display):
        # A game on the display given, which the input and captures go to from now on.
        use(display)
        game = kd.Game(args.game, args.test_data, arguments, {"DISPLAY": display})
        game.who = arguments[arguments.index("--name") + 1]
        self.games.append(game)
        return game

    def hosting(self, game, code=r"[A-Z0-9]+"):
        # The host's line about its relay; returns the game's code.
        pattern = r"^korvane: hosting the game (%s) on port %d \(relay process (\d+)\)$" % (code, self.port)
        found = re.match(pattern, game.wait_line(pattern))
        self.relay_pid = int(found.group(2))
        return found.group(1)

    def check_clean(self):
        # No sanitizer's report, and no game that found another machine's game differing from its own.
        for game in self.games:
            text = "\n".join(game.stderr())
            check(not any(word in text for word in ("Sanitizer", "runtime error", "mismatch", "differs")),
                  "%s: %s" % (game.who, game.report()))

    def close(self):
        for game in self.games:
            game.stop()
        if self.relay_pid:
            with contextlib.suppress(ProcessLookupError):  # killed by the test already
                os.kill(self.relay_pid, 9)
        self.xvfb.kill()
        self.xvfb.wait(timeout=10)
        use(self.first)


def screen_lines(game, what, wanted, timeout=60.0):
    # A screen of the network game: the dark title band at the top with white
    # text in it, and light blue lines under it in each of the wanted
    # rectangles (x0, y0, x1, y1).
    checks = TITLE + [("title text", (60, 448, 739, 471), TITLE_TEXT, ANY)]
    checks += [("line %d" % (i + 1), rect, LINE_TEXT, ANY) for i, rect in enumerate(wanted)]
    return game.expect(what, checks, timeout)


def text_in(screen, rect):
    # Where the lines' text lies in the rectangle.
    return screen.mask(rect, *kd.around(LINE_TEXT))


def retype(count, text):
    # count BackSpaces to erase what a field holds, then the text.
    if count:
        kd.key(" ".join(["BackSpace"] * count))
    kd.xdotool("type", "--delay", 60, text)


def field_click(game, y0):
    # A field of the network panel: the menu picks under the pointer of its last frame.
    flow.menu_click(game, 600, y0 + 10)
    time.sleep(0.3)


def play_one_turn(game, player, display):
    use(display)
    flow.hand_over(game, player)
    kd.tap(775, 35, flow.PARK)  # End Turn


def scenario_menus(args):
    net = Network()
    port, first, second = net.port, net.first, net.second
    try:
        # Ann hosts.
        ann = net.start(args, ["--bind", "127.0.0.1", "--name", "Ann"], first)
        flow.through_intro(ann)
        flow.menu_click(ann, 535, 290)  # Host
        kd.move(*flow.PARK)
        screen = ann.expect("the host's panel", HOST_CHOSEN)
        flow.shot("net-host-menu", screen)
        retype(5, str(port))
        time.sleep(0.5)
        flow.menu_click(ann, 400, 120)  # Begin
        code = net.hosting(ann)
        screen = screen_lines(ann, "the host's lobby", [WHOSE_TURN])
        flow.shot("net-host-lobby", screen)

        # Bo joins.
        bo = net.start(args, ["--name", "Bo"], second)
        flow.through_intro(bo)
        flow.menu_click(bo, 615, 290)  # Join
        kd.move(*flow.PARK)
        bo.expect("the join panel", JOIN_CHOSEN)
        retype(0, "127.0.0.1")
        field_click(bo, 220)  # Port
        retype(5, str(port))
        field_click(bo, 190)  # Code
        retype(0, "wrong1")
        kd.key("Return")
        # Refused: back in the menu, which says why under the panel.
        bo.wait_line(r"^korvane: the network game ended: refused: wrong game code$")
        kd.move(*flow.PARK)
        screen = bo.expect("the menu with the refusal", REFUSED)
        flow.shot("net-join-refused", screen)
        field_click(bo, 190)  # Code, which kept what was typed
        retype(6, code.lower())  # taken as capitals
        kd.move(*flow.PARK)
        time.sleep(0.5)
        flow.shot("net-join-menu")
        kd.key("Return")
        bo.wait_line(r"^korvane: joining the game %s on 127\.0\.0\.1:%d as Bo$" % (code, port))

        # Ann's first turn while Bo waits (the input and captures still go to Bo's display).
        ann.wait_line(r"^korvane: every seat is taken; the game begins$")
        clock = (200, 378, 600, 398)
        waiting = screen_lines(bo, "Bo's waiting screen", [WHOSE_TURN, clock])
        flow.shot("net-waiting", waiting)
        later = bo.wait_screen(lambda s: text_in(s, clock) != text_in(waiting, clock), 5.0,
                               "the waiting time to change")
        check(text_in(later, WHOSE_TURN) == text_in(waiting, WHOSE_TURN),
              "whose turn it is changed while the time went on")
        play_one_turn(ann, 0, first)
        # Ann waits while Bo's hand-over screen waits for his key.
        screen = screen_lines(ann, "Ann's waiting screen", [WHOSE_TURN])
        flow.shot("net-host-waiting", screen)

        # Bo's turn.
        play_one_turn(bo, 1, second)

        # Ann leaves in her next turn.
        use(first)
        flow.hand_over(ann, 0)
        kd.key("Escape")
        ann.expect_exit(who="Ann's game")
        ann.wait_line(r"^korvane: left the network game %s" % code)

        # Bo lets the computer play Ann's seat, then plays his own turn.
        use(second)
        bo.wait_line(r"^korvane: Player 1 \(Ann\) left the game$")
        screen = screen_lines(bo, "Bo's screen with Ann away", [WHOSE_TURN, (100, 334, 700, 354)])
        flow.shot("net-away", screen)
        kd.key("y")
        bo.wait_line(r"^korvane: agreed that the computer plays seat 1$")
        bo.wait_line(r"^korvane: Player 1 \(Ann\) is played by the computer now$")
        # The computer plays Ann's turn on Bo's machine. On the test data it
        # may well win in that one turn; otherwise Bo's own turn comes.
        screen, won = bo.expect_any("Bo's hand-over or the computer's win", [flow.handover(1), flow.winner(0)], 120)
        kd.key("space")
        if won:
            flow.shot("net-computer-won", screen)
            bo.wait_line(r"^korvane: the network game is over$")
            ending = "the computer won in Ann's seat"
        else:
            bo.expect("Bo's second turn", flow.strip())
            kd.key("Escape")
            bo.wait_line(r"^korvane: left the network game %s" % code)
            ending = "Bo left in his second turn"
        bo.expect_exit(who="Bo's game")
        net.check_clean()
        relay_log = "\n".join(ann.stderr())
        check(len(re.findall(r"korvane-server: .*turn", relay_log)) >= 3, "the relay logged too few turns:\n%s"
              % relay_log)
    finally:
        net.close()
    return "relay on 127.0.0.1:%d; %s" % (port, ending)


def intro_then(game, what, checks):
    # A game started with --join shows the intro, then the network screens.
    game.expect("the intro title", flow.INTRO, 60)
    kd.key("space")
    return game.expect(what, checks, 60)


# "The network game has ended", and the reason under it.
ENDED_CHECKS = TITLE + [("title text", (60, 448, 739, 471), TITLE_TEXT, (275, 454, 525, 465)),
                        ("reason", (100, 400, 700, 420), LINE_TEXT, ANY)]


def ended_screens(games, timeout):
    # "The network game has ended" with the reason under it, on every display
    # given ((game, display) pairs), watched in turn: each screen goes by itself
    # 20 s after it came, and one game may find the relay lost long before the
    # other. Returns the screens in the order given.
    deadline, seen = time.time() + timeout, {}
    while len(seen) < len(games):
        for game, display in games:
            if game in seen:
                continue
            use(display)
            what = "%s's screen that the relay is lost" % game.who
            game.check_running(what)
            screen = kd.Screen.capture()
            failed = kd.mismatches(screen, ENDED_CHECKS)
            if not failed:
                seen[game] = screen
            elif time.time() > deadline:
                kd.fail_screen(screen, "timed out waiting for %s:\n  %s" % (what, "\n  ".join(failed)))
        time.sleep(0.05)
    return [seen[game] for game, _ in games]


def key_ends(game, who):
    # A key (or the screen's own 20 s) ends the program with status 1; the
    # reason is on standard error too.
    kd.key("space")
    game.expect_exit(1, who)
    game.wait_line(r"^korvane: the network game ended: ", 0)


def scenario_cli(args):
    net = Network()
    port, first, second, code = net.port, net.first, net.second, "NETCLI7"
    try:
        ann = net.start(args, ["--host", "--bind", "127.0.0.1", "--port", str(port), "--code", code, "--name", "Ann"],
                        first)
        flow.through_intro(ann)
        kd.move(*flow.PARK)
        ann.expect("the menu with Host chosen", HOST_CHOSEN)
        flow.menu_click(ann, 400, 120)  # Begin
        net.hosting(ann, code)
        screen_lines(ann, "the host's lobby", [WHOSE_TURN])

        # A wrong code is refused: the menu, with Join as given and the reason
        # under it; closing the window ends the program there.
        cy = net.start(args, ["--join", "127.0.0.1:%d" % port, "--code", "WRONG1", "--name", "Cy"], second)
        kd.move(*flow.PARK)
        intro_then(cy, "Cy's refusal", REFUSED)
        flow.shot("net-refused")
        cy.wait_line(r"^korvane: the network game ended: refused: wrong game code$")
        ann.wait_line(r"^korvane-server: .*refused")
        os.kill(cy.proc.pid, signal.SIGINT)
        cy.expect_exit(who="Cy's close in the menu")

        # Bo joins without the menu.
        bo = net.start(args, ["--join", "127.0.0.1:%d" % port, "--code", code, "--name", "Bo"], second)
        intro_then(bo, "Bo's waiting screen", TITLE + [("line", WHOSE_TURN, LINE_TEXT, ANY)])
        ann.wait_line(r"^korvane: every seat is taken; the game begins$")

        # Ann leaves during her turn and comes back with the same command: her
        # relay still runs, and takes her back into her seat.
        use(first)
        host_arguments = ann.proc.args[1:]
        flow.hand_over(ann, 0)
        os.kill(ann.proc.pid, signal.SIGINT)
        ann.expect_exit(who="Ann's leaving")
        ann.wait_line(r"^korvane: left the network game %s; join it again" % code)
        ann.wait_line(r"^korvane-server: leave: machine 1 ")  # not a time-out a minute later
        bo.wait_line(r"^korvane: Player 1 \(Ann\) left the game$")
        ann = net.start(args, host_arguments, first)
        flow.through_intro(ann)
        flow.menu_click(ann, 400, 120)  # Begin, with Host chosen as before
        ann.wait_line(r"^korvane: the port %d is in use on this machine; opening the game %s on the relay there$"
                      % (port, code))
        bo.wait_line(r"^korvane: Player 1 \(Ann\) is back$")

        # The relay is killed while Ann plays her turn again.
        flow.hand_over(ann, 0)
        os.kill(net.relay_pid, 9)
        kd.tap(775, 35, flow.PARK)  # End Turn, to a relay that is gone
        lost = time.time()
        # Both screens before any key.
        screen = ended_screens([(ann, first), (bo, second)], 120)[1]
        flow.shot("net-lost", screen)
        use(second)
        key_ends(bo, "Bo")
        use(first)
        key_ends(ann, "Ann")
        waited = time.time() - lost
        net.check_clean()
    finally:
        net.close()
    return "relay on 127.0.0.1:%d; both ended screens seen %.0f s after the relay was killed" % (port, waited)


SCENARIOS = {"menus": scenario_menus, "cli": scenario_cli}


if __name__ == "__main__":
    kd.run_scenarios(SCENARIOS, ("--game", "--test-data"), prefix="e2e-net")
