#!/usr/bin/env python3
# End-to-end tests of the game's sound: the real korvane binary under its
# virtual X server, its sound mixed into SDL's disk driver (a file instead of
# a device), checked by what that file holds, by the lines the game writes to
# standard error and by its exit status.
#
#   sound_e2e.py --game BUILD/korvane --data BUILD/data --test-data BUILD/data-test
#                --scan BUILD/tests/e2e/korvane_sound_scan SCENARIO
#
# sound: the test data's quick battle (the flow of flow_e2e's game scenario),
#   with the sound muted for a moment; every kind of sound is found in the
#   output (korvane_sound_scan), in the order the game made them, each wreck
#   bursting three seconds after its death, nothing while muted.
# sound-missing: the same data without one sound file: one line says so, and
#   the game plays its other sounds through a hand-over, a turn and Escape.
# sound-nodevice, sound-failing: no sound driver at all, and a device that
#   fails at its first write: one line each, and the game plays on silently.
#
# SDL's disk driver writes a block of 2048 frames and then sleeps for
# SDL_DISKAUDIODELAY milliseconds; 46 ms is about a block's length, so the
# file runs at about the speed of the game's ticks (50 ms each).

import collections
import os
import shutil
import subprocess
import tempfile
import time
import types

import flow_e2e as flow
import korvane_driver as kd
from korvane_driver import check

RATE = 44100


def disk(path, device=None):
    return {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": device or path, "SDL_DISKAUDIODELAY": "46"}


def sounds_found(scan, raw, sounds):
    # The scan's lines as (frame, name, left level, right level), in order;
    # how many of each it found is printed.
    done = subprocess.run([scan, raw, sounds], stdout=subprocess.PIPE, check=True, timeout=300)
    lines = done.stdout.decode().splitlines()
    found = [(int(frame), name, float(left), float(right)) for frame, name, left, right in map(str.split, lines)]
    print("found: " + summary(found))
    return found


def summary(found):
    return ", ".join("%s %d" % item for item in sorted(collections.Counter(f[1] for f in found).items()))


def sound_lines(game):
    return [line for line in game.stderr() if line.startswith("Sound: ")]


def button(game, counter, x, y, what, checks):
    counter.clicks.append(time.time())
    return flow.press(game, x, y, what, checks)


def scenario_sound(args):
    with tempfile.TemporaryDirectory() as tmp:
        raw = os.path.join(tmp, "sound.raw")
        # Presses that must make a sound: buttons (a click, with the time it was
        # pressed) and targets given (an order).
        counter = types.SimpleNamespace(clicks=[], orders=0)
        with kd.Game(args.game, args.test_data, environment=disk(raw)) as game:
            flow.through_intro(game)
            flow.menu_click(game, 400, 120)  # Begin
            counter.clicks.append(time.time())
            flow.hand_over(game, 0)
            kd.key("v")  # muted...
            time.sleep(2.0)
            kd.key("v")  # ...and back
            flow.zoom_out()

            # The carrier launches its squadron; then the fusion frigate's beams
            # take on the five enemies one by one, each burning out before the
            # next is chosen, so that no press is heard over a death or a burst.
            strip, ship, parts, turret = flow.strip, flow.ship, flow.parts, flow.turret
            button(game, counter, 775, 123, "the battle frigate", strip() + ship("Olvark"))
            button(game, counter, 775, 123, "the fusion frigate", strip() + ship("Vestrin") + parts(3, 0))
            button(game, counter, 775, 123, "the carrier", strip() + ship("Ardane") + parts(5, 0))
            button(game, counter, 317, 95, "the hangar", parts(5, 3) + flow.hangar(False))
            button(game, counter, 430, 85, "the launch", flow.hangar(True))
            flow.press(game, 400, 560, "no selection", strip() + flow.NO_PANEL)
            button(game, counter, 775, 123, "the battle frigate again", strip() + ship("Olvark"))
            button(game, counter, 775, 123, "the fusion frigate again", strip() + ship("Vestrin") + parts(3, 0))
            screen = button(game, counter, 775, 85, "the sensor view", strip(sensor=True) + flow.sky(True))
            enemies = flow.find_enemies(screen, 5)
            chosen = 0
            for i, (k, enemy) in enumerate(zip([0, 1, 2, 2, 0], enemies)):
                if k != chosen:
                    button(game, counter, 317, 20 + 25 * k, "beam turret %d chosen" % (k + 1),
                           parts(3, k) + turret("beam"))
                    chosen = k
                button(game, counter, 430, 60, "beam turret %d attacking" % (k + 1), turret("beam", attack=True))
                counter.orders += 1
                flow.press(game, enemy[0], enemy[1], "enemy %d given a target" % (i + 1), turret("beam"))
                if i < 4:
                    game.wait_line(r"^    Removing UI panel$", 60, count=i + 1)  # its wreck has burned out
                    time.sleep(1.0)
            game.expect("the winner screen", flow.winner(0), 120)
            time.sleep(1.0)
            flow.end_game(game, "space", flow.PLAYER[0], [10, 0], 6)
        check(sound_lines(game) == [], "the game spoke of its sound: %r" % sound_lines(game))

        with open(raw, "rb") as file:
            output = file.read()
        found = sounds_found(args.scan, raw, os.path.join(args.test_data, "Sounds"))
        try:
            check_mix(output, found, counter)
        except kd.TestFailure:
            # Sound by sound what the scan found, and the mix itself beside
            # the test's log, to be read again (korvane_sound_scan).
            for frame, name, left, right in found:
                print("%9.3f s  %-15s %.4f %.4f" % (frame / RATE, name, left, right))
            shutil.copy(raw, "e2e_sound-failed.raw")
            print("the mix is kept in %s" % os.path.abspath("e2e_sound-failed.raw"))
            raise


def check_mix(output, found, counter):
    # The mix against what the game did: output is the raw file, found the
    # scan's sounds in it, counter the presses that must have made a sound.
    names = [name for _, name, _, _ in found]

    # The intro is silent; the menu's ambient loop starts the sound
    # (the scan finds it only if the first sound is the loop, sample for sample).
    check(names[0] == "ambient" and found[0][0] > 2 * RATE,
          "the first sound, at %.1f s, is %s, not the ambient loop after the intro" % (found[0][0] / RATE, names[0]))
    found, names = found[1:], names[1:]

    # Every kind of sound, as often as it happened. Ships that die in the
    # same tick sound as one, as loud as all of them: at 1600 units they are
    # all about equally loud, so the loudness counts them. A level read
    # under other sounds of the same block is off by a fifth or so, hence
    # the total against the usual level rather than each one rounded.
    deaths = [max(left, right) for _, name, left, right in found if name == "ship-destroyed"]
    check(deaths and round(sum(deaths) / sorted(deaths)[len(deaths) // 2]) == 5,
          "5 ships died; the deaths heard: %r" % deaths)
    for name, expected in (("hand-over", 1), ("winner", 1), ("fighter-launch", 1), ("hull-break", len(deaths)),
                           ("order", counter.orders), ("click", len(counter.clicks))):
        check(names.count(name) == expected, "%d %s where %d were expected; found: %s"
              % (names.count(name), name, expected, summary(found)))
    for name in ("beam-fire", "beam-hit", "explosion"):
        check(names.count(name) >= 3, "%d %s; found: %s" % (names.count(name), name, summary(found)))

    # In the order of the game: the hand-over, the turn's sounds, the winner last.
    frames = {name: [frame for frame, n, _, _ in found if n == name] for name in set(names)}
    handover, winner = frames["hand-over"][0], frames["winner"][0]
    check(all(handover < frame < winner for frame, name, _, _ in found if name not in ("hand-over", "winner",
                                                                                         "click")),
          "a sound of the turn outside the turn")
    check(frames["beam-fire"][0] <= frames["beam-hit"][0] < frames["hull-break"][0], "beams, hits, breaks out of order")
    check(frames["hull-break"] == frames["ship-destroyed"], "a face gave way where no ship died")

    # Muted for two seconds: silence (the ambient loop is never silent by
    # itself; half a second of it, the driver's pace being uncertain),
    # then sound again.
    quiet = output.find(bytes(int(0.5 * RATE) * 4), handover * 4) // 4  # the first such frame, or -1
    check(0 <= quiet < frames["beam-fire"][0], "no silence while muted")
    after = next(i for i in range(quiet * 4, len(output), 4) if output[i:i + 4] != bytes(4)) // 4
    check(after < frames["beam-fire"][0], "no sound after unmuting")

    # The disk driver keeps only roughly to time: how many frames it wrote
    # a second follows from the clicks, each heard when the test pressed it.
    clicks = frames["click"]
    pressed = counter.clicks
    mean_t, mean_f = sum(pressed) / len(pressed), sum(clicks) / len(clicks)
    rate = (sum((t - mean_t) * (f - mean_f) for t, f in zip(pressed, clicks))
            / sum((t - mean_t) ** 2 for t in pressed))
    check(0.5 * RATE < rate < 1.5 * RATE, "the output ran at %.0f frames a second" % rate)

    # Each wreck bursts 61 ticks after its death: an explosion about as
    # loud as its death (the small ones of a burning wreck are a third as
    # loud), seconds later rather than with it. On a busy machine the
    # driver's pace wanders by a quarter over a few seconds, hence the wide
    # margin; test_audio's SoundOutput checks the very tick.
    for death, _, left, right in [f for f in found if f[1] == "ship-destroyed"]:
        level = max(left, right)
        bursts = [frame for frame, name, l, r in found if name == "explosion" and
                  0.6 * level <= max(l, r) <= 1.5 * level]
        ticks = [(frame - death) / (0.05 * rate) for frame in bursts if frame > death]
        check(any(61 * 0.5 <= t <= 61 * 1.6 for t in ticks),
              "no burst 61 ticks after the death at %.1f s: bursts %r ticks after it (%.0f frames a second)"
              % (death / RATE, ticks, rate))


def short_game(game):
    # Intro, Begin, a turn ended with End Turn, the second hand-over, Escape,
    # and the unloading screen: the game plays on whatever its sound does.
    flow.first_turn(game)
    flow.press(game, 775, 123, "the battle frigate", flow.strip() + flow.ship("Olvark"))
    kd.tap(775, 35)
    flow.hand_over(game, 1)
    flow.end_game(game, "Escape", flow.WHITE)


def scenario_missing(args):
    with tempfile.TemporaryDirectory() as tmp:
        data = os.path.join(tmp, "data")
        shutil.copytree(args.test_data, data)
        os.remove(os.path.join(data, "Sounds", "explosion.wav"))
        raw = os.path.join(tmp, "sound.raw")
        with kd.Game(args.game, data, environment=disk(raw)) as game:
            short_game(game)
        lines = sound_lines(game)
        check(len(lines) == 1 and lines[0].startswith("Sound: cannot read Sounds/explosion.wav (")
              and lines[0].endswith("); playing on without it"), "the lines about sound: %r" % lines)
        found = sounds_found(args.scan, raw, os.path.join(args.test_data, "Sounds"))
        names = [name for _, name, _, _ in found]
        check(names.count("hand-over") == 2 and names.count("click") == 3,
              "the other sounds did not play: %s" % summary(found))


def scenario_silent(args, environment, expected):
    with kd.Game(args.game, args.test_data, environment=environment) as game:
        short_game(game)
    check(sound_lines(game) == ([expected] if expected else []), "the lines about sound: %r" % sound_lines(game))


# The maintained SDL 1.2 (--sdl12-compat) words a missing driver as SDL 2
# does, and keeps a device that failed to write running, mixing into nothing:
# the game cannot tell, and plays on silently without a word.
def scenario_nodevice(args):
    reason = "Audio target 'nosuch' not available" if args.sdl12_compat else "No available audio device"
    scenario_silent(args, {"SDL_AUDIODRIVER": "nosuch"},
                    "Sound: no sound device (%s); playing on without sound" % reason)


def scenario_failing(args):
    scenario_silent(args, disk(None, "/dev/full"),
                    None if args.sdl12_compat else "Sound: the sound device stopped; playing on without sound")


SCENARIOS = {"sound": scenario_sound, "sound-missing": scenario_missing, "sound-nodevice": scenario_nodevice,
             "sound-failing": scenario_failing}


if __name__ == "__main__":
    kd.run_scenarios(SCENARIOS, ("--game", "--data", "--test-data", "--scan"), flags=("--sdl12-compat",))
