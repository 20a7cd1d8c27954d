#!/usr/bin/env python3
"""Installing and packaging Korvane, checked the way a player and a packager meet them.

    install_test.py --build BUILD --source SOURCE --desktop FILE --metainfo FILE
                    --cmake CMAKE --cpack CPACK [--sdl12-compat] SCENARIO

play      install into a temporary prefix; the installed `korvane` command, started from another
          directory, answers --help and --version (also without its data) and refuses an unknown
          option with status 2, names the directory it looked in when the data is missing, and
          otherwise plays from the intro through the menu to a turn, which Escape ends with exit
          status 0 (needs the X server that tests/with-xvfb.sh starts); the manual page names every
          option that --help names
deb       build the Debian package, check its files and dependencies, and that lintian finds no error
          and no warning in it
metadata  the desktop entry and the metainfo pass their validators, every screenshot that the
          metainfo names is in the repository, and each icon has its size
"""

import glob
import gzip
import os
import re
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import flow_e2e as flow  # noqa: E402
import korvane_driver as kd  # noqa: E402
from korvane_driver import check  # noqa: E402

APP_ID = "org.korvane.Korvane"
ICON_SIZES = [16, 24, 32, 48, 64, 128, 256]
# What dpkg-shlibdeps finds for the game program on Debian 12: the C and C++ runtimes, SDL 1.2,
# SDL_image 1.2, SDL_mixer 1.2, OpenGL and GLU; ENet.
DEPENDS = ["libc6", "libenet7", "libgcc-s1", "libgl1", "libglu1-mesa | libglu1", "libsdl-image1.2",
           "libsdl-mixer1.2", "libsdl1.2debian", "libstdc++6"]


def run(*command, cwd=None):
    done = subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=300)
    output = done.stdout.decode(errors="replace")
    check(done.returncode == 0, "%s failed (status %d):\n%s" % (" ".join(command), done.returncode, output))
    return output


def answer(command, *arguments, cwd=None):
    # The exit status, standard output and standard error of the command with these arguments.
    done = subprocess.run([command, *arguments], cwd=cwd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=30)
    return done.returncode, done.stdout.decode(), done.stderr.decode()


def check_questions(command, cwd, man_page, data_present):
    # --help and --version are answered on standard output with status 0, also without the data;
    # anything unknown is refused with the usage on standard error and status 2 (without the data
    # the command says that first); the manual page names every option.
    status, out, err = answer(command, "--help", cwd=cwd)
    check(status == 0 and out.startswith("Usage: korvane [OPTION]...\n") and "Alt+Enter" in out and err == "",
          "--help: status %d, %r, %r" % (status, out, err))
    options = re.findall(r"^ {2}(?:(-\w), )? *(--[\w-]+)", out, re.MULTILINE)
    check(len(options) >= 3, "options in --help: %r" % options)
    for short, name in options:
        for option in filter(None, (short, name)):
            check(option.replace("-", "\\-") in man_page, "the manual page does not name %s" % option)
    status, out, err = answer(command, "--version", cwd=cwd)
    check(status == 0 and re.fullmatch(r"korvane \d+\.\d+\.\d+\n", out) and err == "",
          "--version: status %d, %r, %r" % (status, out, err))
    if not data_present:
        return
    status, out, err = answer(command, "--fullscreen", cwd=cwd)
    check(status == 2 and out == "" and err.startswith("korvane: unknown option '--fullscreen'\nUsage: korvane"),
          "an unknown option: status %d, %r, %r" % (status, out, err))


def scenario_play(args):
    with tempfile.TemporaryDirectory() as tmp:
        prefix, elsewhere = os.path.join(tmp, "prefix"), os.path.join(tmp, "elsewhere")
        run(args.cmake, "--install", args.build, "--prefix", prefix)
        os.mkdir(elsewhere)
        command, data = os.path.join(prefix, "games", "korvane"), os.path.join(prefix, "share", "games", "korvane")
        with gzip.open(os.path.join(prefix, "share", "man", "man6", "korvane.6.gz"), "rt") as page:
            man_page = page.read()

        os.rename(data, data + ".away")
        check_questions(command, elsewhere, man_page, False)
        status, _, message = answer(command, cwd=elsewhere)
        check(status == 1 and message.endswith("looked in %s\n" % data),
              "without its data: status %d, %r" % (status, message))
        os.rename(data + ".away", data)
        check_questions(command, elsewhere, man_page, True)

        with kd.Game(command, elsewhere) as game:
            flow.first_turn(game)
            kd.key("Escape")
            game.expect_exit(who="the installed game after Escape")
            check("Removing players" in game.stderr(), "the game was not torn down")


def scenario_deb(args):
    with tempfile.TemporaryDirectory() as tmp:
        run(args.cpack, "-G", "DEB", "-B", tmp, cwd=args.build)
        packages = glob.glob(os.path.join(tmp, "korvane_*_*.deb"))
        check(len(packages) == 1, "expected one package, found %r" % os.listdir(tmp))
        depends = run("dpkg-deb", "-f", packages[0], "Depends").split(",")
        depends = [re.sub(r" \([^)]*\)", "", d.strip()) for d in depends]  # without the versions
        check(sorted(depends) == sorted(DEPENDS + (["libsdl1.2-compat"] if args.sdl12_compat else [])),
              "dependencies %r" % depends)

        modes = {}
        for line in run("dpkg-deb", "-c", packages[0]).splitlines():
            fields = line.split()
            if fields[0].startswith("-"):
                modes[fields[-1].lstrip(".")] = fields[0]
        data = os.path.join(args.build, "data")
        expected = {"/usr/share/games/korvane/" + os.path.relpath(os.path.join(d, f), data)
                    for top in ("Models", "Textures", "Sounds") for d, _, files in os.walk(os.path.join(data, top))
                    for f in files}
        expected |= {"/usr/games/korvane", "/usr/games/korvane-server", "/usr/libexec/korvane/korvane",
                     "/usr/share/applications/%s.desktop" % APP_ID, "/usr/share/metainfo/%s.metainfo.xml" % APP_ID,
                     "/usr/share/man/man6/korvane.6.gz", "/usr/share/man/man6/korvane-server.6.gz",
                     "/usr/share/doc/korvane/copyright", "/usr/share/doc/korvane/changelog.gz"}
        expected |= {"/usr/share/icons/hicolor/%dx%d/apps/%s.png" % (s, s, APP_ID) for s in ICON_SIZES}
        if args.sdl12_compat:
            expected.add("/usr/share/lintian/overrides/korvane")  # the run path into the maintained SDL 1.2
        check(set(modes) == expected, "files missing: %r; files not expected: %r"
              % (sorted(expected - set(modes)), sorted(set(modes) - expected)))
        for program in ("/usr/games/korvane", "/usr/games/korvane-server", "/usr/libexec/korvane/korvane"):
            check(modes[program] == "-rwxr-xr-x", "%s has mode %s" % (program, modes[program]))

        # What a Debian user checks a package with: no error and no warning.
        done = subprocess.run(["lintian", "--tag-display-limit", "0", "--display-level", ">=warning", packages[0]],
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=300)
        report = done.stdout.decode(errors="replace")
        complaints = [line for line in report.splitlines() if re.match(r"[EW]: ", line)]
        check(not complaints and done.returncode == 0, "lintian (status %d):\n%s" % (done.returncode, report))


def scenario_metadata(args):
    run("desktop-file-validate", args.desktop)
    run("appstreamcli", "validate", "--no-net", args.metainfo)
    # Unless configured, the metainfo names no web address that a software centre would show.
    with open(args.metainfo) as metainfo:
        text = metainfo.read()
    check(re.search(r"https?:|<url|<screenshot", text) is None,
          "the metainfo names unconfigured web addresses:\n%s" % text)
    # Configured with both addresses: the home page, and every screenshot under the base, in the repository.
    with tempfile.TemporaryDirectory() as scratch:
        run(args.cmake, "-S", args.source, "-B", scratch, "-DKORVANE_TESTS=OFF", "-DKORVANE_BENCH=OFF",
            "-DKORVANE_HOMEPAGE_URL=https://games.test/korvane",
            "-DKORVANE_SCREENSHOT_BASE_URL=https://files.test/korvane/main")
        configured = os.path.join(scratch, "packaging", os.path.basename(args.metainfo))
        run("appstreamcli", "validate", "--no-net", configured)
        with open(configured) as metainfo:
            text = metainfo.read()
    check(re.findall(r"<url type=\"(\w+)\">([^<]*)</url>", text) == [("homepage", "https://games.test/korvane")],
          "the configured home page is not the only address:\n%s" % text)
    shots = re.findall(r"<image>https://files\.test/korvane/main/(docs/screenshots/[^<]+)</image>", text)
    check(len(shots) == 5 and len(re.findall(r"<image>", text)) == 5, "expected five screenshots, found %r" % shots)
    for path in shots:
        check(os.path.isfile(os.path.join(args.source, path)), "no screenshot %s in the repository" % path)
    # Each icon is as large as its directory in the theme says, with an alpha channel (PNG colour type 6).
    for size in ICON_SIZES:
        with open(os.path.join(args.build, "packaging", "icons", "%dx%d" % (size, size), "apps",
                               APP_ID + ".png"), "rb") as icon:
            header = icon.read(26)
        check(struct.unpack(">IIBB", header[16:26]) == (size, size, 8, 6), "icon %d: header %r" % (size, header))


SCENARIOS = {"play": scenario_play, "deb": scenario_deb, "metadata": scenario_metadata}


if __name__ == "__main__":
    kd.run_scenarios(SCENARIOS, ("--build", "--source", "--desktop", "--metainfo", "--cmake", "--cpack"),
                     flags=("--sdl12-compat",), prefix="install")
