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

import korvane_driver as kd
from korvane_driver import check

ROOT_COLOUR = (0, 96, 96)  # the desktop's colour: dark teal, never drawn by the game
HANDOVER_BAND = (0, 0, 102)


def window_picture(window):
    return kd.Screen.capture("-id", window)


def geometry(window):
    # (x, y, width, height) of a window on the screen, from xwininfo.
    out = subprocess.run(["xwininfo", "-id", window], stdout=subprocess.PIPE, check=True,
                         timeout=kd.TOOL_TIMEOUT).stdout.decode()
    values = {}
    for line in out.splitlines():
        key, _, value = line.strip().partition(":")
        values[key] = value.strip()
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


def wait_for(what, test, timeout=30.0, explain=lambda: ""):
    deadline = time.time() + timeout
    while not test():
        check(time.time() < deadline, "timed out waiting for %s%s" % (what, "" if test() else explain()))
        time.sleep(0.2)


def desktop_shows(picture):
    # How much of the screen shows the desktop's colour.
    rows = picture.mask((0, 0, picture.width - 1, picture.height - 1), ROOT_COLOUR, ROOT_COLOUR)
    return sum(map(sum, rows)) / (picture.width * picture.height)


def differing_rows(a, b):
    line = a.width * 3
    return sum(a.pixels[i:i + line] != b.pixels[i:i + line] for i in range(0, len(a.pixels), line))


def run(args):
    subprocess.run(["xsetroot", "-solid", "#%02x%02x%02x" % ROOT_COLOUR], check=True, timeout=kd.TOOL_TIMEOUT)
    root = kd.Screen.capture()
    screen_w, screen_h = root.width, root.height
    check(desktop_shows(root) == 1.0, "the desktop is not all %r" % (ROOT_COLOUR,))
    check((screen_w, screen_h) == (1024, 768), "the X screen is %dx%d, not 1024x768" % (screen_w, screen_h))

    game = kd.Game(args.game, args.data, ["--window"])
    try:
        window = find_window(game)
        x, y, w, h = geometry(window)
        check((w, h) == (800, 600), "the window is %dx%d" % (w, h))
        check(x + w <= screen_w and y + h <= screen_h, "the window at %d,%d lies off the screen" % (x, y))
        wait_for("the intro in the window", lambda: kd.title_shown(window_picture(window)), 60)
        shown = desktop_shows(kd.Screen.capture())
        check(shown > 0.3, "the desktop shows in only %.2f of the screen around the window" % shown)

        # Through the menu with the pointer over the window.
        kd.key("space")
        wait_for("the menu", lambda: kd.menu_shown(window_picture(window)))
        kd.xdotool("mousemove", "--window", window, 400, 600 - 130)
        time.sleep(0.3)
        kd.xdotool("click", 1)
        wait_for("the hand-over", lambda: kd.handover_shown(window_picture(window)), 120)
        time.sleep(0.5)
        before = window_picture(window)

        # Alt+Enter: the whole screen, and still the hand-over.
        kd.key("alt+Return")
        wait_for("full screen", lambda: desktop_shows(kd.Screen.capture()) == 0.0)
        # The next frame of the hand-over, drawn every tenth of a second, fills it.
        centre = lambda: kd.Screen.capture().pixel(screen_w // 2, screen_h // 2)
        wait_for("the hand-over in full screen", lambda: kd.near(centre(), HANDOVER_BAND), 10,
                 lambda: ": %r at the centre" % (centre(),))
        time.sleep(0.5)

        # Alt+Enter again: the window as it was, the same frame.
        kd.key("alt+Return")
        wait_for("the window again", lambda: desktop_shows(kd.Screen.capture()) > 0.3)
        window = find_window(game)
        check(geometry(window)[2:] == (800, 600), "the window came back as %dx%d" % geometry(window)[2:])
        wait_for("the hand-over in the window again", lambda: window_picture(window).pixels == before.pixels, 30,
                 lambda: "; %d of 600 rows differ, at (110, 305) %r where it was %r" % (
                     differing_rows(window_picture(window), before),
                     window_picture(window).pixel(110, 305), before.pixel(110, 305)))

        kd.key("space")
        wait_for("the first turn", lambda: kd.turn_shown(window_picture(window)))
        kd.key("Escape")
        game.expect_exit(who="the game after Escape")
    except kd.TestFailure:
        save_failure_shot()
        raise
    finally:
        game.stop()


def save_failure_shot():
    # The whole screen as the failure left it, while the game still runs.
    try:
        kd.Screen.capture().write_png(kd.FAILURE_SHOT)
    except Exception:  # the failure itself is what matters
        pass


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
