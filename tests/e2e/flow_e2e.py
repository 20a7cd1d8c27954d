#!/usr/bin/env python3
"""End-to-end tests of the whole game: the real korvane binary, driven with
synthetic keys and clicks under the X server the test runs in (see
tests/with-xvfb.sh), checked by the pixels it shows, the lines it writes to
standard error and its exit status.

    flow_e2e.py --game BUILD/korvane --data BUILD/data --test-data BUILD/data-test SCENARIO
    [--screenshots DIR]

Scenarios: menu_and_escape, turn, ignored_input, whole_game.
"""

import argparse
import os
import sys
import time
import traceback

import korvane_driver as kd
from korvane_driver import check

SHOTS = None

PLAYER_COLOURS = [(0, 255, 0), (0, 0, 255), (255, 0, 0), (255, 255, 0)]
PLAYER_PIXEL = [kd.is_green, kd.is_blue, kd.is_red, lambda r, g, b: r > 200 and g > 200 and b < 90]


def shot(screen, name):
    if SHOTS:
        os.makedirs(SHOTS, exist_ok=True)
        screen.write_png(os.path.join(SHOTS, name + ".png"))


# --------------------------------------------------- what the screen shows ----

def title_shown(screen):
    # "Korvane" at (200, 500), 64 pixels high, in purple.
    return screen.count(200, 500, 600, 564, kd.is_purple) > 200


def menu_shown(screen):
    # The players panel (0, 0, 0.5) left of the buttons and the map panel.
    return kd.near(screen.pixel(90, 410), (0, 0, 128)) and kd.near(screen.pixel(490, 500), (0, 0, 128))


def button_face(screen, x, y):
    return screen.pixel(x, y)


HIGHLIGHT = (255, 102, 153)
PLAIN = (102, 102, 255)


def band_text_count(screen, predicate, top=316):
    return screen.count(200, 300, 600, top, predicate)


def handover_of(screen, player):
    return (kd.near(screen.pixel(110, 305), (0, 0, 102))
            and band_text_count(screen, PLAYER_PIXEL[player]) > 30)


def turn_shown(screen):
    # The End Turn button's face (0.2, 0.3, 0.4) in the control strip.
    return kd.near(screen.pixel(757, 40), (51, 77, 102), 20)


def is_label(r, g, b):
    # The panel's label colour (1, 0.2, 0.4).
    return r > 200 and g < 120 and 50 < b < 170


def panel_shown(screen):
    # The ship panel's "MT: " label of the movement time.
    return screen.count(100, 78, 142, 92, is_label) > 15


def winner_band(screen):
    # The winner's band reaches y = 336; the hand-over band ends at 318.
    return kd.near(screen.pixel(110, 330), (0, 0, 102))


def winner_of(screen):
    if not winner_band(screen):
        return None
    counts = [screen.count(150, 300, 650, 332, p) for p in PLAYER_PIXEL]
    best = max(range(4), key=lambda i: counts[i])
    return best if counts[best] > 50 else None


def unloading_in(screen, predicate):
    return kd.near(screen.pixel(110, 305), (0, 0, 102)) and band_text_count(screen, predicate) > 30


def pointer_sample(screen, mx=600, my=450):
    # Inside the select arrow and inside the target pointer's upper right
    # triangle alike, for a pointer at (600, 450).
    return screen.pixel(mx + 12, my + 12)


def frozen_screen(predicate):
    """The screen of a game stopped with SIGSTOP. The last frame it swapped
    may still be on its way through the X server, so look a few times."""
    screen = None
    for _ in range(8):
        time.sleep(0.15)
        screen = kd.Screen.capture()
        if predicate(screen):
            break
    return screen


# ------------------------------------------------------------ the flow ----

def through_intro(game):
    game.wait_screen(title_shown, 60, "the intro title")
    if SHOTS:
        # Let the clouds fade in and the explosions grow.
        time.sleep(2.5)
        shot(kd.Screen.capture(), "intro")
    kd.key("space")
    return game.wait_screen(menu_shown, 30, "the set-up menu")


def begin(game, players=2, map_index=None):
    """From the menu: choose the players and map, click Begin, wait for the loading."""
    if players != 2:
        kd.click(150, 430 + 30 * (players - 2))
        screen = kd.Screen.capture()
        check(kd.near(screen.pixel(106, 430 + 30 * (players - 2)), HIGHLIGHT),
              "the %d-player button is not highlighted" % players)
        check(kd.near(screen.pixel(106, 430), PLAIN), "the 2-player button is still highlighted")
    if map_index is not None:
        kd.click(575, 490 - 30 * map_index)
        screen = kd.Screen.capture()
        check(kd.near(screen.pixel(506, 490 - 30 * map_index), HIGHLIGHT), "the chosen map is not highlighted")
        check(kd.near(screen.pixel(506, 490), PLAIN), "the first map is still highlighted")
    shot(kd.Screen.capture(), "menu")
    start = len(game.stderr())
    kd.click(400, 130)
    game.wait_line(r"battlefrigate", 30, start)


def start_turn(game, player=0):
    game.wait_screen(lambda s: handover_of(s, player), 120, "the hand-over of player %d" % (player + 1))
    kd.key("space")
    kd.move(400, 300)
    return game.wait_screen(turn_shown, 30, "the turn of player %d" % (player + 1))


# ------------------------------------------------------------ scenarios ----

def scenario_menu_and_escape(args):
    game = kd.Game(args.game, args.data)
    try:
        through_intro(game)
        maps = [line.strip() for line in game.stderr() if line.strip().startswith("map")]
        check(len(maps) >= 2, "the map list was not written: %r" % maps)
        begin(game, players=3, map_index=1)
        # Loading: the ship and part models are read while the screen waits.
        for name in ("battlefrigate", "beamfrigateopen", "escortcarrier2", "smallfighter", "gunturret",
                     "beamturret"):
            game.wait_line(name, 60)
        start_turn(game, 0)
        # Escape ends the game: the closing transition, then the unloading
        # screen in white (nobody has won), the removal lines and status 0.
        paused = game.pause_when(r"^Removing ship models")
        kd.key("Escape", 0)
        check(paused.wait(30), "no teardown after Escape")
        screen = frozen_screen(lambda s: unloading_in(s, kd.is_white))
        game.resume()
        check(unloading_in(screen, kd.is_white), "the unloading screen is not shown in white")
        check(winner_of(screen) is None, "a winner screen after Escape")
        status = game.wait_exit(30)
        check(status == 0, "exit status %r" % status)
        lines = game.stderr()
        for expected in ("Removing ship models", "Removing object models", "Removing dead ships",
                         "Removing players", "  Removing ships", "    Removing UI panel", "Removing nebula regions",
                         "Removing explosions"):
            check(expected in lines, "missing removal line %r" % expected)
        # Three players with five ships each.
        check(lines.count("  Removing ships") == 3, "expected three fleets removed")
        check(lines.count("    Removing UI panel") == 15, "expected fifteen ships removed")
    finally:
        game.stop()


def scenario_turn(args):
    game = kd.Game(args.game, args.data)
    try:
        through_intro(game)
        begin(game)
        screen = start_turn(game, 0)
        check(not panel_shown(screen), "a ship panel before anything was selected")

        # Next ship: the camera glides to the first ship and selects it; the
        # ship then sits in the middle of the view.
        kd.key("n", 1.2)
        check(panel_shown(kd.Screen.capture()), "no ship panel after the next-ship key")
        # A click on empty space deselects; a click on the ship selects it.
        kd.click(400, 560)
        check(not panel_shown(kd.Screen.capture()), "a click on empty space kept the selection")
        kd.click(400, 300)
        kd.move(600, 450)
        screen = kd.Screen.capture()
        check(panel_shown(screen), "a click on the ship did not select it")
        shot(screen, "turn")

        # Move order: m, the point follows the pointer, a click gives the order.
        def movement_text(s):
            return set(s.find(143, 78, 230, 92, lambda r, g, b: r > 200 and g < 160))

        before = movement_text(screen)
        check(len(before) > 20, "no movement time shown")
        kd.key("m")
        kd.move(250, 380, 0.4)
        kd.click(250, 380)
        time.sleep(4.0)
        kd.move(600, 450)
        after = movement_text(kd.Screen.capture())
        check(after != before, "the movement time did not change after a move order")

        # Target order: t turns the pointer into the red target corners; a
        # click (here on empty space) gives it and returns to selecting.
        check(kd.is_white(*pointer_sample(kd.Screen.capture())), "the select pointer is not white")
        kd.key("t")
        kd.move(600, 450, 0.3)
        check(kd.is_red(*pointer_sample(kd.Screen.capture())), "t did not show the target pointer")
        kd.key("t")
        kd.move(600, 450, 0.3)
        check(kd.is_white(*pointer_sample(kd.Screen.capture())), "a second t did not cancel the target order")
        kd.key("t")
        kd.click(600, 450)
        kd.move(600, 450, 0.3)
        check(kd.is_white(*pointer_sample(kd.Screen.capture())), "the click did not end the target order")

        # Sensor view while Tab is held: dark background, the axes.
        kd.move(400, 500)
        kd.key_down("Tab")
        time.sleep(0.5)
        screen = kd.Screen.capture()
        kd.key_up("Tab")
        shot(screen, "sensor")
        check(kd.near(screen.pixel(400, 590), (25, 25, 25), 12), "no dark sensor background")
        time.sleep(0.3)
        check(not kd.near(kd.Screen.capture().pixel(400, 590), (25, 25, 25), 12),
              "the sensor view stayed after Tab was released")

        # End of turn: the next hand-over names player 2 in blue.
        kd.key("d")
        game.wait_screen(lambda s: handover_of(s, 1), 30, "the hand-over of player 2")
    finally:
        game.stop()


def scenario_ignored_input(args):
    game = kd.Game(args.game, args.data)
    try:
        through_intro(game)
        # A click on the menu's empty panel space and on the background
        # changes nothing.
        kd.click(90, 410)
        kd.click(700, 200)
        screen = kd.Screen.capture()
        check(menu_shown(screen), "the menu went away after clicks on empty space")
        check(kd.near(screen.pixel(106, 430), HIGHLIGHT), "the player choice changed")
        check(kd.near(screen.pixel(506, 490), HIGHLIGHT), "the map choice changed")
        begin(game)
        start_turn(game, 0)
        # Keys that need a selection do nothing without one.
        kd.move(600, 450)
        for name in ("m", "r", "t", "a", "x", "s", "c", "l"):
            kd.key(name, 0.1)
        kd.move(600, 450, 0.3)
        screen = kd.Screen.capture()
        check(kd.is_white(*pointer_sample(screen)), "a key without selection changed the order mode")
        check(not panel_shown(screen), "a key without selection selected something")
        # Clicks on empty space and on the control strip between its buttons.
        for x, y in ((400, 560), (775, 60), (775, 145), (775, 5)):
            kd.click(x, y)
        kd.move(600, 450, 0.3)
        screen = kd.Screen.capture()
        check(turn_shown(screen), "the turn ended after clicks on empty space")
        check(not kd.near(screen.pixel(400, 590), (25, 25, 25), 12), "a strip click turned the sensor view on")
        check(kd.is_white(*pointer_sample(screen)), "a click changed the order mode: %r" % (pointer_sample(screen),))
        # The game still answers: the End Turn button ends the turn.
        kd.click(775, 35)
        game.wait_screen(lambda s: handover_of(s, 1), 30, "the hand-over after the End Turn button")
    finally:
        game.stop()


def zoom_out():
    """Widens the current player's view to 120 degrees: right-button drags in
    the bottom band, within the dead zone so that the camera does not turn."""
    kd.move(400, 30)
    kd.button_down(3)
    for i in range(30):
        kd.xdotool("mousemove", 398 + 4 * (i % 2), kd.HEIGHT - 30)
        time.sleep(0.02)
    kd.button_up(3)
    kd.move(400, 300, 0.3)


def nearest(points, target):
    return min(points, key=lambda p: (p[0] - target[0]) ** 2 + (p[1] - target[1]) ** 2)


def find_ship(screen, predicate, position, radius=14):
    points = screen.find(position[0] - radius, position[1] - radius, position[0] + radius, position[1] + radius,
                         predicate)
    return nearest(points, position) if points else None


def play_attack_turn(game, player):
    """One turn of the whole-game test: select two own ships in the sensor
    view, target each enemy still seen in turn, then end the turn."""
    enemy = 1 - player
    focus, heading = kd.PLACEMENTS[player]
    own_positions = [kd.project(p, focus, heading, 2.0) for p in kd.starting_fleet(player)]
    enemy_positions = [kd.project(p, focus, heading, 2.0) for p in kd.starting_fleet(enemy)]
    kd.key_down("Tab")
    try:
        time.sleep(0.4)
        kd.move(400, 500, 0.3)
        screen = kd.Screen.capture()
        first = True
        for slot in (0, 1, 2):
            if own_positions[slot] is None:
                continue
            hit = find_ship(screen, PLAYER_PIXEL[player], own_positions[slot])
            if hit is None:
                continue
            if first:
                kd.click(*hit)
                first = False
            else:
                kd.key_down("ctrl")
                kd.click(*hit)
                kd.key_up("ctrl")
                time.sleep(0.1)
        for slot in range(5):
            kd.move(400, 500, 0.3)
            screen = kd.Screen.capture()
            if not turn_shown(screen):
                return
            hit = find_ship(screen, PLAYER_PIXEL[enemy], enemy_positions[slot])
            if hit is None:
                continue
            kd.key("t", 0.1)
            kd.click(*hit)
            time.sleep(3.0)
    finally:
        kd.key_up("Tab")


def scenario_whole_game(args):
    game = kd.Game(args.game, args.test_data)
    try:
        through_intro(game)
        begin(game)
        zoomed = [False, False]
        player = 0
        for turn in range(16):
            start_turn(game, player)
            if not zoomed[player]:
                zoom_out()
                zoomed[player] = True
            # Give burning wrecks of the last turn time to burn out: the game
            # may end here.
            time.sleep(1.0)
            play_attack_turn(game, player)
            deadline = time.time() + 9.0
            over = False
            while time.time() < deadline:
                if not turn_shown(kd.Screen.capture()):
                    over = True
                    break
                time.sleep(0.3)
            if over:
                break
            kd.key("d")
            player = 1 - player
        screen = game.wait_screen(lambda s: winner_of(s) is not None, 60, "the winner screen")
        time.sleep(1.0)
        screen = kd.Screen.capture()
        winner = winner_of(screen)
        check(winner is not None, "the winner screen went away")
        shot(screen, "winner")
        destroyed = game.count_lines(r"^    Removing UI panel$")
        check(destroyed >= 5, "only %d ships burned out before the end" % destroyed)

        paused = game.pause_when(r"^Removing ship models")
        kd.key("space", 0)
        check(paused.wait(30), "no teardown after the winner screen")
        screen = frozen_screen(lambda s: unloading_in(s, PLAYER_PIXEL[winner]))
        game.resume()
        check(unloading_in(screen, PLAYER_PIXEL[winner]), "the unloading screen is not in the winner's colour")
        check(game.wait_exit(30) == 0, "nonzero exit status")
    finally:
        game.stop()


SCENARIOS = {
    "menu_and_escape": scenario_menu_and_escape,
    "turn": scenario_turn,
    "ignored_input": scenario_ignored_input,
    "whole_game": scenario_whole_game,
}


def main():
    global SHOTS
    parser = argparse.ArgumentParser()
    parser.add_argument("--game", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--test-data", required=True)
    parser.add_argument("--screenshots")
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    args = parser.parse_args()
    SHOTS = args.screenshots
    kd.FAILURE_SHOT = "e2e-%s-failure.png" % args.scenario
    started = time.time()
    try:
        SCENARIOS[args.scenario](args)
    except kd.TestFailure as failure:
        print("FAIL %s: %s" % (args.scenario, failure), file=sys.stderr)
        return 1
    except Exception:
        traceback.print_exc()
        return 1
    print("PASS %s (%.0f s)" % (args.scenario, time.time() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main())
