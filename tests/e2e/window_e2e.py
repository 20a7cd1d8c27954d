#!/usr/bin/env python3
# The game in a window, as a player on a desktop meets it: an X screen larger
# than the game (1024x768, KORVANE_XVFB_SCREEN) with a window manager (openbox)
# and a root window painted a colour the game never shows.
#
#   window_e2e.py --game BUILD/korvane --data BUILD/data
#
# `korvane --window` opens an 800x600 window that leaves the rest of the screen
# to the desktop, and plays in it: the intro, the menu (clicked through the
# window), the hand-over. Alt+Enter on the hand-over screen fills the whole
# screen with the game and does not count as the key the screen waits for;
# Alt+Enter again gives back the window, which shows the very same frame as
# before. Then a key starts the turn and Escape ends the game with status 0.

import subprocess
import time

import flow_e2e as flow
import korvane_driver as kd
from korvane_driver import check

ROOT_COLOUR = (0, 96, 96)  # the desktop's colour: dark teal, never drawn by the game


def geometry(window):
    # (x, y, width, height) of a window on the screen, from xwininfo.
    out = subprocess.run(["xwininfo", "-id", window], stdout=subprocess.PIPE, check=True,
                         timeout=kd.TOOL_TIMEOUT).stdout.decode()
    values = {key.strip(): value.strip() for key, _, value in (line.partition(":") for line in out.splitlines())}
    return (int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]), int(values["Width"]),
            int(values["Height"]))


def find_window(game, timeout=60.0):
    # The game's window, by its title.
    deadline = time.time() + timeout
    while True:
        done = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Korvane$"], stdout=subprocess.PIPE,
                              timeout=kd.TOOL_TIMEOUT)
        found = done.stdout.decode().split()
        if found:
            return found[0]
        check(time.time() < deadline and game.proc.poll() is None, "no window named Korvane appeared")
        time.sleep(0.2)


def desktop_shows(picture):
    # How much of the screen shows the desktop's colour.
    rows = picture.mask((0, 0, picture.width - 1, picture.height - 1), ROOT_COLOUR, ROOT_COLOUR)
    return sum(map(sum, rows)) / (picture.width * picture.height)


def differing_rows(a, b):
    return sum(a.row(y) != b.row(y) for y in range(a.height))


def run(args):
    subprocess.run(["xsetroot", "-solid", "#%02x%02x%02x" % ROOT_COLOUR], check=True, timeout=kd.TOOL_TIMEOUT)
    # (A desktop not painted, or no larger than the window, fails the checks
    # of the desktop around the window below.)
    root = kd.Screen.capture()
    screen_w, screen_h = root.width, root.height

    with kd.Game(args.game, args.data, ["--window"]) as game:
        window = find_window(game)
        x, y, w, h = geometry(window)
        check((w, h) == (800, 600), "the window is %dx%d" % (w, h))
        check(x + w <= screen_w and y + h <= screen_h, "the window at %d,%d lies off the screen" % (x, y))
        # Captures of the window alone, or else of the whole screen.
        in_window = ("-id", window)
        game.expect("the intro in the window", flow.INTRO, 60, in_window)
        shown = desktop_shows(kd.Screen.capture())
        check(shown > 0.3, "the desktop shows in only %.2f of the screen around the window" % shown)

        # Through the menu, clicked through the window: a frame with the
        # pointer on Begin, then the click.
        kd.key("space")
        game.expect("the menu", flow.menu(2, 0), 30, in_window)
        kd.xdotool("mousemove", "--window", window, 400, 600 - 120)
        game.expect("the pointer on Begin", flow.menu_pointer(400, 120), 30, in_window)
        kd.xdotool("click", 1)
        game.expect("the hand-over", flow.handover(0), 120, in_window)
        time.sleep(0.5)
        before = kd.Screen.capture(*in_window)

        # Alt+Enter: the whole screen, and still the hand-over.
        kd.key("alt+Return")
        game.wait_screen(lambda s: desktop_shows(s) == 0.0, 30, "full screen")
        # The next frame of the hand-over, drawn every tenth of a second, fills it.
        centre = lambda s: s.pixel(screen_w // 2, screen_h // 2)
        game.wait_screen(lambda s: kd.near(centre(s), (0, 0, 102)), 10, "the hand-over in full screen",
                         lambda s: ": %r at the centre" % (centre(s),))
        time.sleep(0.5)

        # Alt+Enter again: the window as it was, the same frame.
        kd.key("alt+Return")
        game.wait_screen(lambda s: desktop_shows(s) > 0.3, 30, "the window again")
        # (A window back at another size cannot show the same frame.)
        in_window = ("-id", find_window(game))
        game.wait_screen(lambda s: s.pixels == before.pixels, 30, "the hand-over in the window again",
                         lambda s: "; %d of 600 rows differ, at (110, 305) %r where it was %r"
                         % (differing_rows(s, before), s.pixel(110, 305), before.pixel(110, 305)),
                         target=in_window)

        kd.key("space")
        game.expect("the first turn", flow.strip(), 30, in_window)
        kd.key("Escape")
        game.expect_exit(who="the game after Escape")


def with_window_manager(args):
    wm = subprocess.Popen(["openbox"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(1.0)
        check(wm.poll() is None, "the window manager did not start")
        run(args)
    finally:
        wm.terminate()
        wm.wait(timeout=10)


if __name__ == "__main__":
    kd.run_scenarios({"window": with_window_manager}, ("--game", "--data"))
