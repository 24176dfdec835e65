#!/usr/bin/env python3
"""Frames per second of the native program and of the Windows program under Wine, drawing the same
large scene (a textured, hilly grid of about 100 000 triangles) on the same virtual screen, one
after the other. Mesa's heads-up display counts the frames of both (its figures go to a file),
since Wine draws with OpenGL on Mesa too.

The two take turns, a few rounds each (VELLMORA_BENCH_ROUNDS, default 3), and the best round of
each counts, so that other work on the machine weighs on both alike. Prints both rates and their
ratio, native over Wine; fails if the native program is slower.

usage: bench/fps_native_vs_wine.py [LINUX_PROGRAM [WINDOWS_PROGRAM]]   (run after both builds)"""

import math
import os
import shutil
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))

from harness import Mesh, Native, Screen, Windows, check, main, write_image, write_map  # noqa: E402

GRID = 224
SECONDS = 10


def write_scene(folder):
    write_image(os.path.join(folder, "ground.png"), 64, 64,
                lambda x, y: (90 + int(40 * math.sin(x / 5) * math.cos(y / 7)), 110 + (x * y) % 37, 40))
    write_image(os.path.join(folder, "rock.bmp"), 32, 32,
                lambda x, y: (60, 60, 60) if y % 8 == 0 or (x + 16 * (y // 8 % 2)) % 32 == 0 else (150, 70, 50))
    mesh = Mesh()
    for z in range(GRID + 1):
        for x in range(GRID + 1):
            mesh.add_vertex(x - GRID / 2, 3 * math.sin(x / 7) * math.cos(z / 9), z - 20, x / 4, z / 4)
    for z in range(GRID):
        for x in range(GRID):
            a = z * (GRID + 1) + x
            mesh.add_quad([a, a + GRID + 1, a + GRID + 2, a + 1], int((x + z) % 7 == 0))
    write_map(os.path.join(folder, "map.txt"), (0, 12, -30), mesh, ["ground.png", "rock.bmp"])


def frame_rate(program, screen, folder, name):
    """The median of the per-second counts, leaving out the first two seconds of loading."""
    dump = os.path.join(folder, name)
    os.makedirs(dump)
    env = dict(screen.env(), GALLIUM_HUD="simple,fps", GALLIUM_HUD_PERIOD="1", GALLIUM_HUD_DUMP_DIR=dump)
    run = program.start(folder, env)
    time.sleep(SECONDS)
    run.stop()
    try:
        with open(os.path.join(dump, "fps")) as f:
            counts = sorted(float(line) for line in f.read().split()[2:])
    except OSError:
        return 0.0
    return counts[(len(counts) - 1) // 2] if counts else 0.0


def body(native, windows):
    rounds = int(os.environ.get("VELLMORA_BENCH_ROUNDS", "3"))
    folder = tempfile.mkdtemp(prefix="vellmora_fps_")
    try:
        write_scene(folder)
        native_rates, wine_rates = [], []
        with Screen(1280, 720) as screen:
            for round_number in range(rounds):
                native_rates.append(frame_rate(native, screen, folder, f"native{round_number}"))
                wine_rates.append(frame_rate(windows, screen, folder, f"wine{round_number}"))
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    print(f"rounds, native: {native_rates}; Wine: {wine_rates}")
    best_native, best_wine = max(native_rates), max(wine_rates)
    print(f"frames per second, {2 * GRID * GRID} triangles, 1280x720: native {best_native}, Wine {best_wine}")
    check(best_wine > 0, "no frame rate from Wine")
    print(f"native / Wine = {best_native / best_wine:.2f}")
    check(best_native >= best_wine, "the native program is slower")


if __name__ == "__main__":
    args = sys.argv[1:]
    programs = Native(args[0] if args else None), Windows(args[1] if len(args) > 1 else None)
    sys.exit(main(lambda: body(*programs)))
