#!/usr/bin/env python3
# End-to-end tests of the computer's seats: the real korvane binary, driven
# with synthetic keys and clicks under the X server it runs in
# (tests/with-xvfb.sh), checked by what it shows and its exit status.
#
#   seats_e2e.py --game BUILD/korvane --data BUILD/data --test-data BUILD/data-test
#                [--screenshots DIR] alone|fog|neutral
#
# alone: the test data; one person against the computer at Hard. The seats
#   panel, the computer's first turn watched through the person's own sensor
#   view under its line, a key that plays the rest of it unseen, and then the
#   person only ends turns until the winner screen names the computer.
# fog: the game's data, map1, where a veil of nebula hides the fleets from
#   each other at the start. The computer's first turn (at Easy, which sets
#   out at once; the Hard player waits out a first turn in which it has seen
#   nobody, and ends it at once), watched through the person's sensor view,
#   shows none of its ships; Escape then ends the game in the middle of that
#   turn.
# neutral: the test data; two people and the computer at Easy. Between the
#   second person's turn and the first one's hand-over only the neutral screen
#   is shown, never a view of the game; Escape in the first person's turn.
#
# The screen checks follow flow_e2e.py: tables of colours and the exact boxes
# they fill, read from captures that were looked at.

import time

import flow_e2e as flow
import korvane_driver as kd
from korvane_driver import check

BLUE_SHIP = ((0, 0, 161), (89, 89, 255))  # a blue ship's lines in the sensor view
FOG = (128, 128, 255)                     # the normal view's sky
SENSOR_SKY = (26, 26, 26)
BELOW_LINE = (0, 0, 799, 564)             # the view under the computer's line
MENU_REST = (420, 330)                      # the pointer away from the menu's panels


def seats_panel(kinds):
    # The panel under the player counts: "Player N" beside each seat's
    # button, lit for the computer, labelled "Human", "Computer (Easy)" or
    # "Computer (Hard)".
    n = len(kinds)
    checks = [("seats panel", (70, 200, 310, 369), (0, 0, 128), (80, 340 - 30 * n, 299, 369)),
              ("seats heading", (60, 370, 330, 395), flow.BAND, (132, 371, 248, 379))]
    labels = {"human": (200, 240), "easy": (160, 271), "hard": (161, 271)}
    for i, kind in enumerate(kinds):
        y0 = 330 - 30 * i
        x0, x1 = labels[kind]
        checks += [("Player %d" % (i + 1), (85, y0 - 3, 148, y0 + 23), flow.BAND, (94, y0 + 5, 141, y0 + 12))]
        checks += flow.button("seat %d" % (i + 1), 150, y0, 290, y0 + 20, flow.face(kind != "human"),
                              (x0, y0 + 4 if kind != "human" else y0 + 6, x1, y0 + 12))
    return checks


def computer_line(player):
    # The line at the top of a watched turn: "Player N (computer) is moving"
    # in the computer's colour on a dark band.
    return [("line band", (90, 560, 709, 599), (0, 0, 102), (100, 570, 699, 589)),
            ("line text", (100, 570, 699, 589), flow.PLAYER[player], (265, 574, 537, 585))]


def neutral_screen(player):
    # The computer's name in the band of the hand-over screens and the bar of
    # its progress under it, in its colour.
    return (flow.banded(flow.PLAYER[player], 317, (265, 302, 537, 313))
            + [("bar", (240, 240, 560, 280), flow.PLAYER[player], (249, 249, 550, 270))])


def blue_ships(screen):
    return len(screen.find(BELOW_LINE, *BLUE_SHIP))


def choose_seats(game, clicks, kinds):
    # Through the intro; the player count and the seat buttons clicked in
    # turn; then, with the pointer at rest away from the panels, the seats
    # panel shows the kinds given. Returns that screen.
    flow.through_intro(game)
    for x, y in clicks:
        flow.menu_click(game, x, y)
        time.sleep(0.3)  # the next click's pointer frame comes after this click's effect
    kd.move(*MENU_REST)
    return game.expect("the seats %s" % kinds, seats_panel(kinds) + flow.menu_pointer(*MENU_REST))


def watch_computer_turn(game):
    # The person's first turn: the view widened to 120 degrees and turned to
    # the sensor view with the strip's button, then End Turn. No hand-over and
    # no transition: the computer's turn comes through the person's own sensor
    # view, under its line; returns its first screen.
    flow.zoom_out()
    flow.press(game, 775, 85, "the sensor view", flow.strip(sensor=True) + flow.sky(True))
    kd.tap(775, 35, flow.PARK)
    return game.expect("the computer's turn watched", computer_line(1) + flow.sky(True)[:1], 60)


def scenario_alone(args):
    with kd.Game(args.game, args.test_data) as game:
        # (The first click's Easy is seen in the fog scenario.)
        flow.shot("seats", choose_seats(game, [(220, 310), (220, 310)], ["human", "hard"]))
        flow.menu_click(game, 400, 120)

        flow.hand_over(game, 0)
        screen = watch_computer_turn(game)  # its ships seen in the open
        flow.shot("computer-turn", screen)
        check(blue_ships(screen) > 0, "the computer's ships, in the open, are not shown")
        live = game.wait_screen(lambda s: s.pixels != screen.pixels, 10, "the next frame of the watched turn")
        check(not kd.mismatches(live, computer_line(1)), "the watched turn ended too soon to be fast-forwarded")

        # A key plays the rest of the turn unseen: after the frame being
        # drawn when it came, the screen keeps that frame until the next screen.
        kd.key("space")
        frames, last, deadline = 0, None, time.time() + 60
        while True:
            screen = kd.Screen.capture()
            if kd.mismatches(screen, computer_line(1)):
                break
            if last is None or screen.pixels != last.pixels:
                frames, last = frames + 1, screen
            check(frames <= 2, "the computer's turn was still drawn after the key")
            check(time.time() < deadline, "the computer's turn did not end within a minute of the key")

        # From now on the person only ends turns, and the computer's turns
        # play out watched; the computer wins.
        # The winner screen ends it; a hand-over and the person's turn each
        # take their key, and the next is looked for once that screen has gone.
        screens, keys = [flow.winner(1), flow.handover(0), flow.strip(sensor=True)], [None, "space", "d"]
        deadline, turns = time.time() + 300, 0
        while True:
            screen, seen = game.expect_any("the winner screen within five minutes", screens, deadline - time.time())
            if not seen:
                break
            turns += seen == 2
            kd.key(keys[seen])
            game.wait_screen(lambda s: kd.mismatches(s, screens[seen]), 30, "the end of the screen the key was for")
        flow.shot("computer-wins", screen)
        flow.end_game(game, "space", flow.PLAYER[1])  # in the computer's colour
        return "%d frames seen after the key, %d more turns of the person" % (frames, turns)


def scenario_fog(args):
    with kd.Game(args.game, args.data) as game:
        choose_seats(game, [(220, 310)], ["human", "easy"])
        flow.menu_click(game, 400, 120)
        flow.hand_over(game, 0)
        # The first two seconds of the computer's turn: its ships stay behind
        # the veil, where none of the person's ships can see them.
        screen = watch_computer_turn(game)
        started, seen = time.time(), 0
        while time.time() - started < 2.0:
            check(not kd.mismatches(screen, computer_line(1)), "the watched turn ended within two seconds")
            if blue_ships(screen):
                kd.fail_screen(screen, "%d pixels of the computer's hidden ships are drawn" % blue_ships(screen))
            seen += 1
            screen = kd.Screen.capture()
        check(seen >= 2, "only %d frames of the watched turn were looked at" % seen)

        # Escape in the middle of the computer's turn ends the game.
        flow.end_game(game, "Escape", flow.WHITE)
        check("Removing players" in game.stderr(), "the game was not torn down")


def scenario_neutral(args):
    with kd.Game(args.game, args.test_data) as game:
        choose_seats(game, [(150, 460), (220, 280)], ["human", "human", "easy"])  # 3 Players, the third seat
        flow.menu_click(game, 400, 120)
        for player in (0, 1):
            flow.hand_over(game, player)
            kd.key("d")
        # From the neutral screen to the first person's hand-over, never a view.
        screen = game.expect("the neutral screen", neutral_screen(2), 60)
        flow.shot("computer-turn-neutral", screen)
        hand_over = flow.handover(0)
        looked = 0
        while kd.mismatches(screen, hand_over):
            check(not kd.mismatches(screen, neutral_screen(2)[:1]), "neither the neutral screen nor the hand-over")
            check(not screen.find((0, 0, 799, 599), *kd.around(FOG)) and not screen.find((0, 400, 799, 599),
                                                                                         *kd.around(SENSOR_SKY)),
                  "a view of the game is shown during the computer's turn")
            looked += 1
            screen = kd.Screen.capture()
            game.check_running("the end of the computer's turn")
        check(looked >= 2, "the neutral screen was seen only %d times" % looked)
        kd.key("space")
        game.expect("the first person's turn", flow.strip())
        # (Not held on its unloading screen: wrecks of the computer's fight
        # may still be burning out, and the game writes a line for each.)
        kd.key("Escape")
        game.expect_exit()
        check("Removing players" in game.stderr(), "the game was not torn down")


SCENARIOS = {"alone": scenario_alone, "fog": scenario_fog, "neutral": scenario_neutral}


if __name__ == "__main__":
    kd.run_scenarios(SCENARIOS, ("--game", "--data", "--test-data"), prefix="e2e-seats")
