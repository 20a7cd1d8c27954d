#!/usr/bin/env python3
# End to end: a game stopped with Escape and resumed from the menu, through
# the real korvane binary with a home folder of its own.
#
#   resume_e2e.py --game BUILD/korvane --data BUILD/data
#
# 1. A game ended with Escape before any turn ended writes nothing at all.
# 2. Two turns played, the third begun: the sensor view is captured, then
#    Escape. The home folder then holds exactly the two autosaves, under
#    ~/.local/share/korvane/saves (XDG_DATA_HOME unset), and nothing else.
# 3. The game started again: the menu offers "Resume" with the map, players
#    and round; Resume leads to the hand-over of player 1, whose turn shows
#    the very frame captured before the Escape (the frame-rate meter aside).
# The game's data folder is the same before and after.

import os
import shutil
import tempfile
import time

import flow_e2e as flow
import korvane_driver as kd
from korvane_driver import check

RESUME = flow.button("Resume", 350, 52, 450, 84, flow.PLAIN)
NO_RESUME = [("no Resume button", (340, 40, 460, 90), flow.BAND, None),
             ("no line under Begin", (0, 0, 799, 95), (255, 51, 102), None)]
# The frame-rate meter, measured on the wall clock, along the top.
METER_ROWS = range(570, 600)


def files_under(folder):
    # Each file's path under the folder, with its size and time of change.
    paths = [os.path.join(root, name) for root, _, names in os.walk(folder) for name in names]
    return {os.path.relpath(path, folder): (os.stat(path).st_size, os.stat(path).st_mtime_ns) for path in paths}


def sensor_view(game):
    # Tab held: the sensor view, whose frame stands still while nothing moves.
    kd.xdotool("keydown", "Tab")
    game.expect("the sensor view", flow.sky(True))
    time.sleep(0.5)
    screen = kd.Screen.capture()
    kd.xdotool("keyup", "Tab")
    game.expect("the normal view", flow.sky(False))
    return screen


def differences(a, b):
    # Pixels that differ by more than 2 in a channel, outside the meter (rows
    # alike byte for byte passed over at once).
    return [(x, y) for y in range(kd.HEIGHT) if y not in METER_ROWS and a.row(y) != b.row(y)
            for x in range(kd.WIDTH) if not kd.near(a.pixel(x, y), b.pixel(x, y), 2)]


def escape(game):
    kd.key("Escape")
    game.expect_exit(who="the game after Escape")


def scenario(args):
    home = tempfile.mkdtemp(prefix="korvane-e2e-home-")
    os.environ["HOME"] = home
    os.environ.pop("XDG_DATA_HOME", None)
    saves = os.path.join(".local", "share", "korvane", "saves")
    data_before = files_under(args.data)
    try:
        # 1. No turn ends: nothing is written.
        with kd.Game(args.game, args.data) as game:
            flow.through_intro(game)
            game.expect("the menu without Resume", NO_RESUME)
            flow.menu_click(game, 400, 120)
            flow.hand_over(game, 0)
            escape(game)
        check(files_under(home) == {}, "files written by a game in which no turn ended: %r" % files_under(home))

        # 2. Two turns, the third begun, Escape.
        with kd.Game(args.game, args.data) as game:
            flow.first_turn(game)
            kd.tap(775, 35, flow.PARK)  # End Turn
            flow.hand_over(game, 1)
            kd.tap(775, 35, flow.PARK)
            flow.hand_over(game, 0)
            before = sensor_view(game)
            escape(game)
        written = files_under(home)
        expected = {os.path.join(saves, "autosave.korvane"), os.path.join(saves, "autosave-1.korvane")}
        check(set(written) == expected, "files written: %r, expected %r" % (sorted(written), sorted(expected)))
        with open(os.path.join(home, saves, "autosave.korvane"), "rb") as f:
            check(f.readline().startswith(b"korvane-save 2 map1 "), "the newest save does not start as a save")

        # 3. Resume: the hand-over of player 1, then the same frame.
        with kd.Game(args.game, args.data) as game:
            flow.through_intro(game)
            game.expect("the menu with Resume", RESUME + [
                ("map1, 2 players, round 2", (250, 30, 550, 50), flow.BAND, (313, 37, 488, 45))])
            flow.menu_click(game, 400, 68)
            flow.hand_over(game, 0)
            after = sensor_view(game)
            found = differences(before, after)
            if found:
                before.write_png("e2e-resume-before.png")
                after.write_png("e2e-resume-after.png")
            check(not found, "%d pixels differ from the frame before the Escape, the first %r (frames in "
                  "e2e-resume-before.png and e2e-resume-after.png)" % (len(found), found[:5]))
            escape(game)
        check(files_under(home) == written, "the resumed game changed the saves without ending a turn")
        check(files_under(args.data) == data_before, "the game's data folder changed")
    finally:
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    kd.run_scenarios({"resume": scenario}, ("--game", "--data"))
