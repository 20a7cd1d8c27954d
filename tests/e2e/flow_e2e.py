#!/usr/bin/env python3
# End-to-end tests of the whole game: the real korvane binary, driven with
# synthetic keys and clicks under the X server it runs in (tests/with-xvfb.sh),
# checked by what it shows, the lines it writes to standard error and its exit
# status.
#
#   flow_e2e.py --game BUILD/korvane --data BUILD/data --test-data BUILD/data-test
#               [--screenshots DIR] escape|game
#
# escape: the game's data; the menu, input that must be ignored, End Turn, the
#   second player's hand-over, Escape, the unloading screen and the teardown.
# game: the test data (weak hulls, beams across the map, clouds out of sight);
#   every button of the command panel, then a fight to the winner screen and
#   the unloading screen in the winner's colour.
#
# A screen check is a table of colours and the exact boxes they fill in a
# search area a few pixels larger (korvane_driver.mismatches): a thing drawn
# 2 or 3 pixels off or in another colour fails it. The boxes were read from
# captures that were looked at.

import os
import time

import korvane_driver as kd
from korvane_driver import check

WHITE = (255, 255, 255)
BAND = (51, 51, 255)  # a button's band; the menu's headings and "Loading level"
PLAIN = (102, 102, 255)
HIGHLIGHT = (255, 102, 153)
LABEL = (255, 51, 102)
PLAYER = [(0, 255, 0), (0, 0, 255), (255, 0, 0), (255, 255, 0)]
PARK = (100, 500)  # where the pointer rests while the screen is looked at
SKY = (0, 480, 799, 599)
MT_VALUE = (140, 74, 255, 95)  # where the panel shows the ship's movement time
SHIP_PARTS = ("UI panel", "beam turrets", "gun turrets", "subobjects", "lights")  # as a ship's removal names them


def shot(name, screen=None, wait=0.0):
    # With --screenshots DIR: the screen, or a capture after wait seconds, as DIR/name.png.
    if kd.SHOTS:
        time.sleep(wait)
        (screen or kd.Screen.capture()).write_png(os.path.join(kd.SHOTS, name + ".png"))


# ------------------------------------------------------ what is expected ----


def button(what, x0, y0, x1, y1, face, label=None):
    # The band and the face each fill exactly their box; so may the label.
    area = (x0 - 3, y0 - 3, x1 + 3, y1 + 3)
    return ([(what + " band", area, BAND, (x0 + 1, y0 + 1, x1 - 2, y1 - 2)),
             (what + " face", area, face, (x0 + 4, y0 + 4, x1 - 5, y1 - 5))]
            + ([(what + " label", area, LABEL, label)] if label else []))


def face(on):
    return HIGHLIGHT if on else PLAIN


def banded(colour, top, text_box):
    # The hand-over, loading, winner and unloading screens: a dark band up to
    # top, one line of text in it.
    return [("band", (90, 290, 709, 345), (0, 0, 102), (100, 298, 699, top)),
            ("text", (100, 298, 699, top), colour, text_box)]


def handover(player):
    # "Player N begin when ready" in the player's colour.
    return banded(PLAYER[player], 317, (291, 302, 512, 313))


def winner(player):
    # "Player N Wins!" in the player's colour (a 2 stands a row lower than a 1).
    return banded(PLAYER[player], 335, (270, 303 if player else 304, 513, 327))


def menu(players, map_index):
    checks = [("players panel", (70, 390, 230, 519), (0, 0, 128), (80, 400, 219, 519)),
              ("map panel", (470, 350, 680, 519), (0, 0, 128), (480, 360, 669, 519)),
              ("players heading", (60, 521, 240, 540), BAND, (66, 521, 234, 529)),
              ("map heading", (460, 521, 690, 540), BAND, (536, 521, 614, 529)),
              ("Begin label", (350, 100, 450, 140), (102, 255, 102), (380, 114, 422, 125))]
    for n in (2, 3, 4):
        checks += button("%d Players" % n, 100, 360 + 30 * n, 200, 380 + 30 * n, face(n == players))
    for i in range(4):
        checks += button("map%d" % (i + 1), 500, 480 - 30 * i, 650, 500 - 30 * i, face(i == map_index))
    return checks + button("Begin", 350, 100, 450, 140, PLAIN)


def strip(sensor=False):
    # The control strip with the camera at rest (Next Ship lights while it glides).
    return (button("Next Ship", 752, 108, 798, 138, PLAIN, (761, 112, 787, 129))
            + button("Sensor Mode", 752, 70, 798, 100, face(sensor), (755, 76, 797 if sensor else 795, 91))
            + button("End Turn", 752, 20, 798, 50, (51, 77, 102), (762, 26, 787, 41)))


NO_PANEL = [("the ship panel", (0, 0, 749, 160), BAND, None)]
POINTER = {"select": [("select pointer", (60, 460, 140, 540), WHITE, (77, 500, 99, 521))],  # at PARK
           "order": [("order pointer", (60, 460, 140, 540), WHITE, (72, 500, 99, 525))],
           "target": [("target pointer", (60, 460, 140, 540), (255, 51, 51), (74, 474, 125, 525))]}
NAMES = {"Olvark": ((14, 129, 54, 136), (14, 102, 244, 111)), "Vestrin": ((14, 129, 64, 136), (15, 102, 215, 111)),
         "Ardane": ((14, 129, 62, 136), (14, 104, 199, 111)), "Quennel": ((14, 127, 69, 136), (15, 102, 215, 111))}


def ship(name, moved=False):
    # Name and class tags, hull letters, movement time (10.00 sec, or 9.xx).
    return [("name", (5, 122, 255, 144), LABEL, NAMES[name][0]), ("class", (5, 97, 255, 119), LABEL, NAMES[name][1]),
            ("hull letters", (5, 5, 95, 95), LABEL, (17, 15, 84, 84)),
            ("MT label", (95, 74, 142, 95), LABEL, (103, 82, 126, 89)),
            ("MT value", MT_VALUE, HIGHLIGHT, (None, 82, 214, None) if moved else (146, 82, 223, 89))]


def orders(order_type):
    checks = []
    for i, (x0, y0) in enumerate(((100, 50), (180, 50), (100, 25), (180, 25))):
        checks += button(("Move", "Rotate", "Target", "Attack")[i], x0, y0, x0 + 70, y0 + 20, face(order_type == i + 1))
    return checks + button("Stop", 140, 2, 210, 22, PLAIN)


def parts(count, selected):
    checks = [("parts list end", (257, 7 + 25 * count, 378, 160), BAND, None)]
    for k in range(count):
        checks += button("part %d" % (k + 1), 260, 10 + 25 * k, 375, 30 + 25 * k, face(k == selected))
    return checks


TITLES = {"gun": (382, 126, 524, 141), "gun3": (382, 126, 524, 140), "beam": (382, 126, 538, 141),
          "hangar": (382, 126, 497, 141)}


def turret(kind, burst=False, attack=False, cone=False):
    # The sub-panel: "... status:", turning and firing time, three buttons.
    return ([("title", (377, 126, 560, 148), LABEL, TITLES[kind]),
             ("MT and FT labels", (377, 96, 420, 128), LABEL, (383, 104, 406, 126)),
             ("MT and FT values", (420, 96, 560, 128), HIGHLIGHT, (None, 104, 494, 126))]  # as they are spent
            + button("Burst fire", 380, 75, 480, 95, face(burst)) + button("Attack", 380, 50, 480, 70, face(attack))
            + button("Show cone", 380, 25, 480, 45, face(cone)))


def hangar(launched):
    # "Squadrons: 1 left", or "0 left" in the spent grey.
    return ([("title", (377, 126, 560, 148), LABEL, TITLES["hangar"]),
             ("Squadrons label", (377, 111, 470, 128), LABEL, (382, 117, 461, 126)),
             ("squadrons left", (440, 111, 560, 128), (102, 102, 102), (480, 119, 517, 126) if launched else None),
             ("squadrons left", (440, 111, 560, 128), HIGHLIGHT, None if launched else (481, 119, 516, 126)),
             ("no other buttons", (377, 0, 550, 72), BAND, None)]
            + button("Launch fighters", 380, 75, 480, 95, face(launched)))


def sky(sensor):
    # Above the horizon of the widened view: the fog colour, or the dark
    # background of the sensor view.
    return [("sensor sky", SKY, (26, 26, 26), SKY if sensor else None),
            ("fog", SKY, (128, 128, 255), None if sensor else SKY)]


def teardown(fleets, clouds):
    # The standard error lines after the unloading screen, exactly.
    lines = ["Removing nebula regions", "Removing explosions", "Removing ship models", "Removing object models",
             "Removing dead ships", "Removing players"]
    for ships in fleets:
        lines += ["  Removing ships"] + ships * ["    Removing " + part for part in SHIP_PARTS]
    return lines + ["Removing nebula regions"] + clouds * ["  Deleting clouds"] + ["Removing explosions"]


# ------------------------------------------------------------ the flow ----


def press(game, x, y, what, checks):
    # A click, the pointer back at rest, and the screen it must lead to. The
    # next click waits for that screen: a click handled in the same frame as
    # one on the panel would read the ids of the panel's pick pass.
    kd.tap(x, y, PARK)
    return game.expect(what, checks)


def menu_pointer(x, y):
    # The menu's pointer with its tip at (x, y).
    return [("pointer", (x - 30, y - 30, x + 30, y + 30), WHITE, (x, y - 20, x + 23, y - 1))]


def menu_click(game, x, y):
    # The menu picks under the pointer of the frame it drew last: wait for a
    # frame with the pointer at (x, y), then press.
    kd.move(x, y)
    game.expect("the menu pointer at (%d, %d)" % (x, y), menu_pointer(x, y))
    kd.xdotool("click", 1)


INTRO = [("title", (150, 480, 650, 599), (128, 0, 255), (210, 517, 471, 552))]


def through_intro(game, shoot=False):
    game.expect("the intro title", INTRO, 60)
    if shoot:
        shot("intro", wait=2.5)  # once the clouds have faded in and the explosions grown
    kd.key("space")
    game.expect("the set-up menu", menu(2, 0))
    game.wait_line(r"^Setting up map region", count=2)  # the menu's background
    check("\nmap1\nmap2\nmap3\nmap4\nMaps/intro" in "\n".join(game.stderr()), "the map list is not map1 to map4")


def first_turn(game):
    # The intro, Begin with the menu's first choices (two players, map1), and
    # the first player's turn.
    through_intro(game)
    menu_click(game, 400, 120)
    hand_over(game, 0)


def hand_over(game, player):
    game.expect("the hand-over of player %d" % (player + 1), handover(player), 120)
    kd.key("space")
    game.expect("the turn of player %d" % (player + 1), strip() + NO_PANEL)
    # The turn takes the pointer's position from motion it sees itself.
    kd.xdotool("mousemove", PARK[0] + 20, kd.HEIGHT - PARK[1], "mousemove", PARK[0], kd.HEIGHT - PARK[1])
    game.expect("the pointer", POINTER["select"])


def end_game(game, key, colour, fleets=None, clouds=0):
    # The key pressed with the game held on its unloading screen: the screen,
    # then exit status 0 and, with the fleets given, the teardown lines.
    game.hold_output()
    start = len(game.stderr())
    kd.key(key)
    game.expect("the unloading screen", banded(colour, 315, (336, 302, 466, 313)), 60)
    game.release_output()
    game.expect_exit()
    if fleets is not None:
        lines, expected = game.stderr()[start:], teardown(fleets, clouds)
        check(lines == expected, "teardown lines:\n%s\nexpected:\n%s" % ("\n".join(lines), "\n".join(expected)))


def scenario_escape(args):
    with kd.Game(args.game, args.data) as game:
        through_intro(game, shoot=True)
        shot("menu")
        # Clicks on a panel's empty space and on the background change
        # nothing; the choice handled after them shows it.
        for x, y in ((90, 410), (700, 200), (150, 460)):
            menu_click(game, x, y)
        game.expect("3 Players chosen", menu(3, 0))
        menu_click(game, 575, 460)
        game.expect("map2 chosen", menu(3, 1))
        game.hold_output()
        menu_click(game, 400, 120)
        game.expect("the loading screen", banded(BAND, 315, (348, 302, 454, 313)))
        game.release_output()
        for name in ("battlefrigate", "beamfrigateopen", "escortcarrier2", "smallfighter", "gunturret",
                     "gunturret_base", "gunturret_guns", "beamturret", "Maps/map2"):
            game.wait_line(r"^%s Models/%s\.ase$" % (name, name))
        hand_over(game, 0)
        # Without a selection keys do nothing, and neither do clicks on empty
        # space and between the strip's buttons: the next-ship key, handled
        # after them, shows the order mode, the view and the turn unchanged.
        # (Keys, since a click handled in the frame of a click on the panel
        # would read the ids of the panel's pick pass.)
        kd.key("m r t a x s c l")
        for x, y in ((400, 560), (775, 60), (775, 145), (775, 5)):
            kd.tap(x, y)
        kd.key("n")
        kd.move(*PARK)
        screen = game.expect("the first ship after ignored input", strip() + ship("Olvark") + POINTER["select"])
        shot("turn", screen)
        kd.tap(775, 35)
        hand_over(game, 1)
        end_game(game, "Escape", WHITE, [5, 5, 5], 3)


def zoom_out():
    # Widens the view to 120 degrees: right-button drags in the bottom band,
    # within the dead zone in which the camera does not turn.
    steps = [arg for i in range(24) for arg in ("mousemove", 398 + 4 * (i % 2), kd.HEIGHT - 25)]
    kd.xdotool("mousemove", 400, kd.HEIGHT - 25, "mousedown", 3, *steps, "mouseup", 3)


def find_enemies(screen, count):
    # A pixel of each of the blue ships seen in the sensor view, left to right.
    groups = []
    for p in sorted(screen.find((0, 160, 799, 570), (0, 0, 161), (89, 89, 255))):
        if groups and p[0] - groups[-1][-1][0] <= 8:
            groups[-1].append(p)
        else:
            groups.append([p])
    check(len(groups) == count, "%d enemy ships seen where %d were expected" % (len(groups), count))
    return [g[len(g) // 2] for g in groups]


def target_with_turrets(game, enemies, selected):
    # Beam turrets, the selected one first, each take one enemy: the part
    # (unless chosen already), its Attack button, the enemy.
    for k, enemy in zip([selected] + [k for k in range(3) if k != selected], enemies):
        if k != selected:
            press(game, 317, 20 + 25 * k, "beam turret %d chosen" % (k + 1), parts(3, k) + turret("beam"))
        press(game, 430, 60, "beam turret %d attacking" % (k + 1), turret("beam", attack=True))
        press(game, enemy[0], enemy[1], "beam turret %d given a target" % (k + 1), turret("beam"))


def scenario_game(args):
    with kd.Game(args.game, args.test_data) as game:
        first_turn(game)
        zoom_out()

        # The battle frigate: its orders, a move stopped, its gun turrets.
        press(game, 775, 123, "the battle frigate",
              strip() + ship("Olvark") + orders(0) + parts(4, 0) + turret("gun"))
        press(game, 135, 60, "a move point", orders(1) + POINTER["order"])
        kd.tap(400, 440)
        game.expect("the ship moving", ship("Olvark", moved=True))
        # The pointer seen back at rest shows a frame after Stop: from then on
        # the movement time stays put.
        screen = press(game, 175, 20, "a stopped move", ship("Olvark", moved=True) + POINTER["select"])
        stopped = screen.find(MT_VALUE, *kd.around(HIGHLIGHT))
        press(game, 215, 60, "a rotation point", orders(2) + POINTER["order"])
        press(game, 215, 60, "no order", orders(0) + POINTER["select"])
        press(game, 135, 35, "a target order", orders(3) + POINTER["target"])
        press(game, 215, 35, "an attack order", orders(4) + POINTER["target"])
        screen = press(game, 215, 35, "no order", orders(0) + POINTER["select"])
        check(screen.find(MT_VALUE, *kd.around(HIGHLIGHT)) == stopped, "the stopped ship used movement time")
        press(game, 430, 85, "burst fire", turret("gun", burst=True))
        press(game, 430, 35, "the gun cone", turret("gun", burst=True, cone=True))
        press(game, 430, 60, "turret attack", turret("gun", True, True, True) + POINTER["target"])
        press(game, 430, 60, "no turret attack", turret("gun", True, False, True) + POINTER["select"])
        press(game, 317, 70, "the third gun turret", parts(4, 2) + turret("gun3"))

        # The fusion frigate's beam turrets take on three enemies.
        press(game, 775, 123, "the fusion frigate", strip() + ship("Vestrin") + parts(3, 0) + turret("beam"))
        screen = press(game, 775, 85, "the sensor view", strip(sensor=True) + sky(True))
        shot("sensor", screen)
        enemies = find_enemies(screen, 5)
        target_with_turrets(game, enemies[:3], 0)
        press(game, 775, 85, "the normal view", strip() + sky(False))

        # The carrier launches its squadron; the second fusion frigate shows
        # its beam turret's buttons (it takes on no enemy: burst fire would
        # cut a kill short).
        press(game, 775, 123, "the carrier", strip() + ship("Ardane") + parts(5, 0) + turret("gun"))
        press(game, 317, 95, "the hangar", parts(5, 3) + hangar(False))
        press(game, 430, 85, "the launch", hangar(True))
        press(game, 775, 123, "the second fusion frigate", strip() + ship("Quennel") + parts(3, 0) + turret("beam"))
        press(game, 430, 85, "beam burst fire", turret("beam", burst=True))
        press(game, 430, 35, "the beam cone", turret("beam", burst=True, cone=True))

        # A click on empty space deselects; Next Ship then starts from the
        # first ship again. Back at the first fusion frigate, whose camera sees
        # the enemies where they were, two of its turrets take on the last two
        # once the first three wrecks are gone; the game ends when theirs are.
        press(game, 400, 560, "no selection", strip() + NO_PANEL)
        press(game, 775, 123, "the battle frigate again", strip() + ship("Olvark", moved=True))
        press(game, 775, 123, "the fusion frigate again", strip() + ship("Vestrin"))
        press(game, 775, 85, "the sensor view", strip(sensor=True) + sky(True))
        game.wait_line(r"^    Removing UI panel$", count=3)
        target_with_turrets(game, enemies[3:], 2)
        game.expect("the winner screen", winner(0), 120)
        shot("winner", wait=1.0)  # with fireworks
        end_game(game, "space", PLAYER[0], [10, 0], 6)  # five ships and five fighters; five dust clouds


SCENARIOS = {"escape": scenario_escape, "game": scenario_game}


if __name__ == "__main__":
    kd.run_scenarios(SCENARIOS, ("--game", "--data", "--test-data"))
