# Drives the real korvane binary under an X server with synthetic input:
# xdotool for the keys and the pointer, xwd for captures, ImageMagick's
# convert for the PNG files. Positions are the game's: x to the right, y up
# from the bottom row (OpenGL); the X server counts y down from the top.
#
# Nothing here races the game's frames. A check waits until the screen shows
# what it expects (Game.expect), and a screen that lasts only a moment (the
# loading and unloading screens) is kept on the display by letting the game
# block on its next write to standard error (Game.hold_output).

import argparse
import os
import re
import struct
import subprocess
import sys
import threading
import time

WIDTH = 800
HEIGHT = 600
TOOL_TIMEOUT = 10
FAILURE_SHOT = "e2e-failure.png"
SHOTS = None  # --screenshots DIR: where the scenarios keep pictures of what they saw


class TestFailure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise TestFailure(message)


def fail_screen(screen, message):
    # Fails, keeping the screen that showed why (FAILURE_SHOT).
    screen.write_png(FAILURE_SHOT)
    raise TestFailure(message)


# ---------------------------------------------------------------- screen ----


class Screen:
    # A capture: RGB, 3 bytes a pixel, rows from the top.
    def __init__(self, pixels, width=WIDTH, height=HEIGHT):
        self.pixels, self.width, self.height = pixels, width, height

    @staticmethod
    def capture(*target):
        # The whole X screen, or the window given (xwd's "-id", WINDOW).
        raw = subprocess.run(["xwd", "-silent", *(target or ("-root",))], stdout=subprocess.PIPE, check=True,
                             timeout=TOOL_TIMEOUT).stdout
        header = struct.unpack(">25I", raw[:100])
        width, height, line = header[4], header[5], header[12]
        size = header[11] // 8  # bytes a pixel: 4, or 3 with rows still padded to 4 bytes a pixel
        if header[3] != 24 or size not in (3, 4) or line < width * size:
            raise TestFailure("unexpected capture format %r" % (header,))
        data = raw[header[0] + header[19] * 12:][:line * height]
        if line != width * size:  # rows padded: each cut to its pixels
            data = b"".join(data[y * line:y * line + width * size] for y in range(height))
        order = (2, 1, 0) if header[7] == 0 else (size - 3, size - 2, size - 1)  # B G R (X) or (X) R G B
        rgb = bytearray(width * height * 3)
        for i, c in enumerate(order):
            rgb[i::3] = data[c::size]
        return Screen(bytes(rgb), width, height)

    def pixel(self, x, y):
        return tuple(self.row(y)[x * 3:x * 3 + 3])

    def row(self, y):
        start = (self.height - 1 - y) * self.width * 3
        return self.pixels[start:start + self.width * 3]

    def mask(self, rect, low, high):
        # A row of bytes for each y of the rectangle (x0, y0, x1, y1), from y0
        # up: 1 where every channel lies between low and high, else 0.
        x0, y0, x1, y1 = rect
        tables = [bytes(int(lo <= v <= hi) for v in range(256)) for lo, hi in zip(low, high)]
        rows = []
        for y in range(y0, y1 + 1):
            start = ((self.height - 1 - y) * self.width + x0) * 3
            line, hits = self.pixels[start:start + (x1 - x0 + 1) * 3], -1
            for i, table in enumerate(tables):
                hits &= int.from_bytes(line[i::3].translate(table), "big")
            rows.append(hits.to_bytes(x1 - x0 + 1, "big"))
        return rows

    def find(self, rect, low, high):
        # The positions in the rectangle whose colour lies between low and high.
        rows = self.mask(rect, low, high)
        return [(rect[0] + x, rect[1] + y) for y, row in enumerate(rows) for x, v in enumerate(row) if v]

    def extent(self, rect, colour):
        # The bounding box (x0, y0, x1, y1) of the colour in the rectangle, or None.
        rows = self.mask(rect, *around(colour))
        ys = [y for y, row in enumerate(rows) if 1 in row]
        if not ys:
            return None
        return (rect[0] + min(rows[y].find(1) for y in ys), rect[1] + ys[0],
                rect[0] + max(rows[y].rfind(1) for y in ys), rect[1] + ys[-1])

    def write_png(self, path):
        subprocess.run(["convert", "-size", "%dx%d" % (self.width, self.height), "-depth", "8", "rgb:-", path],
                       input=self.pixels, check=True, timeout=TOOL_TIMEOUT)


def near(colour, expected, tolerance=24):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


def around(colour, tolerance=2):
    # The bounds of a colour give or take the tolerance: room for a rounding
    # change in a future Mesa, far below anything visible.
    return [c - tolerance for c in colour], [c + tolerance for c in colour]


def mismatches(screen, checks):
    # The checks of a table that the screen fails. A check is (what, search
    # rectangle, colour, the expected bounding box of that colour in the
    # rectangle or None for none at all); None in a box stands for any value.
    failed = []
    for what, rect, colour, box in checks:
        actual = screen.extent(rect, colour)
        if (actual is None) != (box is None) or box and any(e not in (None, a) for e, a in zip(box, actual)):
            failed.append("%s: %r where %r was expected" % (what, actual, box))
    return failed


# ----------------------------------------------------------------- input ----


def xdotool(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True, timeout=TOOL_TIMEOUT,
                   stdout=subprocess.DEVNULL)


def move(x, y):
    # The game reads X row r as y = 600 - r. (No --sync: xdotool would hang
    # if the pointer were there already.)
    xdotool("mousemove", x, HEIGHT - y)


def tap(x, y, rest=None):
    # A click at (x, y), then the pointer resting at rest if given, in one
    # xdotool run: nothing here waits for a frame; the caller does.
    xdotool("mousemove", x, HEIGHT - y, "click", 1, *(("mousemove", rest[0], HEIGHT - rest[1]) if rest else ()))


def key(names):
    # Keys 30 ms apart: SDL drops a press that follows the release of the
    # same key within a few milliseconds.
    xdotool("key", "--delay", 30, *names.split())


# ------------------------------------------------------------------ game ----


class Game:
    # One run of the game binary with its arguments, its standard error read by
    # a thread; environment holds variables to set for it (silent sound by default).
    # As a context ("with kd.Game(...) as game:") it is stopped at the end.
    def __init__(self, binary, data_dir, arguments=(), environment=None):
        # With the pointer hidden and input grabbed SDL reports motion relative
        # to a pointer it keeps warping, which drifts from xdotool's positions
        # once the pointer has touched a screen edge; the absolute mode does not.
        env = {**os.environ, "SDL_AUDIODRIVER": "dummy", "SDL_MOUSE_RELATIVE": "0", **(environment or {})}
        self.pipe, writer = os.pipe()
        self.proc = subprocess.Popen([os.path.abspath(binary), *arguments], cwd=data_dir, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=writer, env=env)
        os.close(writer)
        self.lines = []  # appended by the reader, whole lines at a time
        self.flowing, self.stalled = threading.Event(), threading.Event()
        self.flowing.set()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        partial = b""
        while True:
            if not self.flowing.is_set():
                self.stalled.set()
                self.flowing.wait()
            data = os.read(self.pipe, 65536)
            if not data:
                return
            *complete, partial = (partial + data.replace(b"\0", b"")).split(b"\n")  # without the padding
            self.lines += [line.decode(errors="replace") for line in complete]

    def hold_output(self):
        # Stops reading the game's standard error and fills the pipe to the
        # brim with padding, so that the game blocks at its next write.
        self.stalled.clear()
        self.flowing.clear()
        padding = os.open("/proc/self/fd/%d" % self.pipe, os.O_WRONLY | os.O_NONBLOCK)
        try:
            os.write(padding, b"\0")  # wakes the reader, which then stops
            check(self.stalled.wait(10), "the standard error reader did not stop")
            size = 65536
            while size:
                try:
                    os.write(padding, b"\0" * size)
                except BlockingIOError:
                    size //= 2
        finally:
            os.close(padding)

    def release_output(self):
        self.flowing.set()

    def stderr(self):
        return list(self.lines)

    def report(self):
        # A sanitizer's report from its first line, or else the last lines.
        lines = self.stderr()
        first = next((i for i, line in enumerate(lines) if "Sanitizer" in line or "runtime error" in line), None)
        return "\n".join(lines[first:first + 25] if first is not None else lines[-15:])

    def wait_line(self, pattern, timeout=60.0, count=1):
        # The count-th line that matches the pattern.
        deadline = time.time() + timeout
        while True:
            found = [line for line in self.stderr() if re.search(pattern, line)]
            if len(found) >= count:
                return found[count - 1]
            check(time.time() < deadline and (self.proc.poll() is None or self.reader.is_alive()),
                  "%d lines matching %r expected; the last lines:\n%s"
                  % (count, pattern, "\n".join(self.stderr()[-15:])))
            time.sleep(0.05)

    def check_running(self, what):
        check(self.proc.poll() is None, "the game ended (status %s) while waiting for %s; its output:\n%s"
              % (self.proc.poll(), what, self.report()))

    def wait_screen(self, predicate, timeout=30.0, what="the expected screen", explain=lambda screen: "",
                    target=()):
        # Waits for a capture (of the target, as Screen.capture takes it) that
        # satisfies the predicate and returns it. On time-out it keeps the last
        # capture (FAILURE_SHOT) and fails, saying why that one did not do (explain).
        deadline = time.time() + timeout
        while True:
            self.check_running(what)
            screen = Screen.capture(*target)
            if predicate(screen):
                return screen
            if time.time() > deadline:
                fail_screen(screen, "timed out waiting for %s%s" % (what, explain(screen)))
            time.sleep(0.1)

    def expect(self, what, checks, timeout=60.0, target=()):
        # Waits for a screen (or target) that passes every check of the table (mismatches).
        return self.wait_screen(lambda screen: not mismatches(screen, checks), timeout, what,
                                lambda screen: ":\n  " + "\n  ".join(mismatches(screen, checks)), target)

    def expect_any(self, what, tables, timeout=60.0):
        # Waits for a screen that passes every check of one of the tables;
        # returns it and the index of the first table it passes.
        screen = self.wait_screen(lambda s: any(not mismatches(s, t) for t in tables), timeout, what)
        return screen, next(i for i, t in enumerate(tables) if not mismatches(screen, t))

    def expect_exit(self, expected=0, who="the game", timeout=60.0):
        # Waits for the game to end (subprocess.TimeoutExpired if it does not)
        # and fails unless with the expected status.
        status = self.proc.wait(timeout=timeout)
        self.reader.join(timeout=10)
        check(status == expected, "%s: exit status %s; its output:\n%s" % (who, status, self.report()))

    def __enter__(self):
        return self

    def __exit__(self, *failure):
        self.stop()

    def stop(self):
        # Ends the game, if it still runs, by its own process id (also at the
        # end of a "with" block).
        self.release_output()
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait(timeout=10)


# ------------------------------------------------------------------ main ----


def run_scenarios(scenarios, options, optional=(), flags=(), prefix="e2e"):
    # The command line: the required and optional options given (and
    # --screenshots), the flags, and the scenario's name unless there is only
    # one. Runs the scenario and exits with 1 and the reason if it fails; a
    # line the scenario returns is added to its PASS line.
    global FAILURE_SHOT, SHOTS
    parser = argparse.ArgumentParser()
    for option in (*options, *optional, "--screenshots"):
        parser.add_argument(option, required=option in options)
    for flag in flags:
        parser.add_argument(flag, action="store_true")
    if len(scenarios) > 1:
        parser.add_argument("scenario", choices=sorted(scenarios))
    args = parser.parse_args()
    name = getattr(args, "scenario", next(iter(scenarios)))
    SHOTS = args.screenshots
    FAILURE_SHOT = os.path.abspath("%s-%s-failure.png" % (prefix, name))
    started = time.time()
    try:
        note = scenarios[name](args)
    except TestFailure as failure:
        sys.exit("FAIL %s: %s (screen in %s)" % (name, failure, FAILURE_SHOT))
    print("PASS %s (%.0f s)%s" % (name, time.time() - started, "; " + note if note else ""))
