"""Drives the real korvane binary under an X server with synthetic input.

Everything here uses the Python standard library and the X tools xdotool
(input) and xwd (screen capture). Screen positions are given as the game
counts them: x to the right, y upwards from the bottom row (OpenGL), and are
turned into X coordinates (y downwards) only when talking to the X server.
"""

import math
import os
import re
import signal
import struct
import subprocess
import threading
import time
import zlib

WIDTH = 800
HEIGHT = 600
TOOL_TIMEOUT = 10


class TestFailure(Exception):
    pass


FAILURE_SHOT = "e2e-failure.png"


def check(condition, message):
    """Fails the scenario with the message, keeping a capture of the screen
    as it was (e2e-failure.png in the working directory)."""
    if not condition:
        try:
            Screen.capture().write_png(FAILURE_SHOT)
        except Exception:
            pass
        raise TestFailure(message)


# ---------------------------------------------------------------- screen ----


class Screen:
    """One capture of the whole X screen (what the game's window shows)."""

    def __init__(self, width, height, pixels):
        self.width = width
        self.height = height
        self.pixels = pixels  # rows from the top, 3 bytes per pixel (RGB)

    @staticmethod
    def capture():
        raw = subprocess.run(["xwd", "-root", "-silent"], stdout=subprocess.PIPE, check=True,
                             timeout=TOOL_TIMEOUT).stdout
        return Screen.from_xwd(raw)

    @staticmethod
    def from_xwd(raw):
        header = struct.unpack(">25I", raw[:100])
        header_size, _, _, depth, width, height = header[:6]
        byte_order, bits_per_pixel, bytes_per_line = header[7], header[11], header[12]
        colour_count = header[19]
        check(bits_per_pixel == 32 and depth == 24, "unexpected capture format %r" % (header,))
        offset = header_size + colour_count * 12
        rgb = bytearray(width * height * 3)
        for row in range(height):
            line = raw[offset + row * bytes_per_line:offset + row * bytes_per_line + width * 4]
            if byte_order == 0:  # LSB first: B G R X
                rgb[row * width * 3 + 0:(row + 1) * width * 3:3] = line[2::4]
                rgb[row * width * 3 + 1:(row + 1) * width * 3:3] = line[1::4]
                rgb[row * width * 3 + 2:(row + 1) * width * 3:3] = line[0::4]
            else:  # X R G B
                rgb[row * width * 3 + 0:(row + 1) * width * 3:3] = line[1::4]
                rgb[row * width * 3 + 1:(row + 1) * width * 3:3] = line[2::4]
                rgb[row * width * 3 + 2:(row + 1) * width * 3:3] = line[3::4]
        return Screen(width, height, bytes(rgb))

    def pixel(self, x, y):
        """The colour at game position (x, y), y counted from the bottom."""
        row = self.height - 1 - int(y)
        i = (row * self.width + int(x)) * 3
        return tuple(self.pixels[i:i + 3])

    def find(self, x0, y0, x1, y1, matches):
        """Game positions in the rectangle whose colour satisfies matches(r, g, b)."""
        found = []
        for y in range(max(0, int(y0)), min(self.height, int(y1) + 1)):
            for x in range(max(0, int(x0)), min(self.width, int(x1) + 1)):
                if matches(*self.pixel(x, y)):
                    found.append((x, y))
        return found

    def count(self, x0, y0, x1, y1, matches):
        return len(self.find(x0, y0, x1, y1, matches))

    def region(self, x0, y0, x1, y1):
        return [self.pixel(x, y) for y in range(y0, y1) for x in range(x0, x1)]

    def write_png(self, path):
        rows = b"".join(b"\x00" + self.pixels[r * self.width * 3:(r + 1) * self.width * 3]
                        for r in range(self.height))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xffffffff)

        png = b"\x89PNG\r\n\x1a\n"
        png += chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0))
        png += chunk(b"IDAT", zlib.compress(rows, 9))
        png += chunk(b"IEND", b"")
        with open(path, "wb") as out:
            out.write(png)


def near(colour, expected, tolerance=24):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


def is_green(r, g, b):
    return g > 170 and r < 90 and b < 90


def is_blue(r, g, b):
    return b > 170 and r < 90 and g < 90


def is_white(r, g, b):
    return r > 220 and g > 220 and b > 220


def is_purple(r, g, b):
    return b > 170 and g < 70 and 60 < r < 190


def is_red(r, g, b):
    return r > 200 and g < 110 and b < 110


# ----------------------------------------------------------------- input ----


def xdotool(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True, timeout=TOOL_TIMEOUT,
                   stdout=subprocess.DEVNULL)


def pointer_position():
    out = subprocess.run(["xdotool", "getmouselocation"], stdout=subprocess.PIPE, check=True,
                         timeout=TOOL_TIMEOUT).stdout.decode()
    values = dict(item.split(":") for item in out.split() if ":" in item)
    return int(values["x"]), int(values["y"])


def move(x, y, settle=0.15):
    """Moves the pointer to game position (x, y) and waits for a frame or two."""
    target = (int(x), HEIGHT - int(y))
    if pointer_position() != target:
        xdotool("mousemove", target[0], target[1])
    time.sleep(settle)


def click(x, y, button=1, settle=0.3):
    # Picking reads the frame drawn before the click: move, let a frame be
    # drawn with the pointer there, then press.
    move(x, y, 0.25)
    xdotool("click", button)
    time.sleep(settle)


def key(name, settle=0.25):
    xdotool("key", "--delay", 30, name)
    time.sleep(settle)


def key_down(name):
    xdotool("keydown", name)


def key_up(name):
    xdotool("keyup", name)


def button_down(button):
    xdotool("mousedown", button)


def button_up(button):
    xdotool("mouseup", button)


# ------------------------------------------------------------------ game ----


class Game:
    """One run of the game binary, with its standard error collected by a thread."""

    def __init__(self, binary, data_dir):
        env = dict(os.environ)
        env["SDL_AUDIODRIVER"] = "dummy"
        # With the pointer hidden and input grabbed SDL reports mouse motion
        # relative to a pointer it keeps warping; once a synthetic pointer has
        # been at a screen edge its positions drift from the real ones. The
        # absolute mode keeps the game's pointer where xdotool put it.
        env["SDL_MOUSE_RELATIVE"] = "0"
        self.proc = subprocess.Popen([os.path.abspath(binary)], cwd=data_dir, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env)
        self.lines = []
        self.lock = threading.Lock()
        self.pause_on = None  # (pattern, event): stop the game when a line matches
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for raw in self.proc.stderr:
            line = raw.decode(errors="replace").rstrip("\n")
            with self.lock:
                self.lines.append(line)
                pause = self.pause_on
            if pause and re.search(pause[0], line):
                # Freeze the game on the screen it shows while it writes this line.
                self.proc.send_signal(signal.SIGSTOP)
                with self.lock:
                    self.pause_on = None
                pause[1].set()

    def stderr(self):
        with self.lock:
            return list(self.lines)

    def count_lines(self, pattern):
        return sum(1 for line in self.stderr() if re.search(pattern, line))

    def wait_line(self, pattern, timeout=60.0, start=0):
        deadline = time.time() + timeout
        while time.time() < deadline:
            lines = self.stderr()
            for line in lines[start:]:
                if re.search(pattern, line):
                    return line
            if self.proc.poll() is not None and len(lines) == len(self.stderr()):
                break
            time.sleep(0.05)
        raise TestFailure("no standard error line matching %r; last lines:\n%s"
                          % (pattern, "\n".join(self.stderr()[-15:])))

    def pause_when(self, pattern):
        """Returns an event set once the game has been stopped on a matching line."""
        event = threading.Event()
        with self.lock:
            self.pause_on = (pattern, event)
        return event

    def resume(self):
        self.proc.send_signal(signal.SIGCONT)

    def wait_screen(self, predicate, timeout=30.0, what="the expected screen"):
        deadline = time.time() + timeout
        screen = None
        while time.time() < deadline:
            check(self.proc.poll() is None, "the game ended while waiting for %s" % what)
            screen = Screen.capture()
            if predicate(screen):
                return screen
            time.sleep(0.2)
        raise TestFailure("timed out waiting for %s" % what)

    def wait_exit(self, timeout=60.0):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise TestFailure("the game did not exit")

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGCONT)
            self.proc.terminate()
            try:
                self.proc.wait(timeout=3)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(timeout=10)
        self.reader.join(timeout=5)


# ------------------------------------------------------------- the camera ----

VIEW_SLOPE = -0.7071059942245483
DEG_TO_RAD = 0.01745327777777778


def project(point, focus, heading, zoom):
    """Screen position (x, y from the bottom) of a world point seen by a player
    camera: 100 above the focus, looking down 45 degrees along the heading,
    60 * zoom degrees high. None when behind the eye."""
    x = point[0] - focus[0]
    y = point[1] - focus[1] - 100.0
    z = point[2] - focus[2]
    t = -heading * DEG_TO_RAD
    c, s = math.cos(t), math.sin(t)
    x, z = c * x + s * z, -s * x + c * z
    a = 45 * DEG_TO_RAD
    c, s = math.cos(a), math.sin(a)
    y, z = c * y - s * z, s * y + c * z
    if z >= -1.0:
        return None
    f = 1.0 / math.tan(math.radians(60.0 * zoom) / 2.0)
    nx = f / (4.0 / 3.0) * x / -z
    ny = f * y / -z
    return ((nx + 1.0) * WIDTH / 2.0, (ny + 1.0) * HEIGHT / 2.0)


PLACEMENTS = [((0.0, 0.0, 800.0), 45.0), ((0.0, 0.0, -800.0), 225.0), ((-800.0, 0.0, 0.0), 135.0),
              ((800.0, 0.0, 0.0), 315.0)]


def starting_fleet(player_index):
    """World positions of a player's five starting ships, in fleet order."""
    (px, py, pz), heading = PLACEMENTS[player_index]
    a = (heading - 45.0) * DEG_TO_RAD
    return [(px + (5 * i - 10) * 20 * math.cos(a), py, pz + (5 * i - 10) * 20 * math.sin(a)) for i in range(5)]
