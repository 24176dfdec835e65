#!/usr/bin/env python3
"""Escape ends the Windows program within two frames on a heavy scene while the mouse keeps moving,
seen under Wine through the d3d9.dll that counts frames (windows/lost_device_d3d9.cpp). The scene is
30,000 tiny triangles whose textures alternate, so each is a draw call of its own and a frame takes
a tenth of a second or more. Each run turns the camera with small pointer moves for a few seconds,
then presses Escape with the pointer still moving and drops the proxy's marker as soon as the key
has reached the X server: the program must end with exit code 0 after at most two presents, the
frame under way and one more.

usage: heavy_scene.py WINDOWS_BUILD_DIR   (exit 77 while it is not built)"""

import contextlib
import os
import re
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))

from harness import (Mesh, Screen, check, run_beside_test_d3d9, windows_path, write_image,  # noqa: E402
                     write_map)

TRIANGLES = 30000
COLUMNS = 200
RUNS = 3
TURNING_SECONDS = 3
# The frame under way when the key reaches the X server, and at most one more.
MAX_PRESENTS_AFTER_ESCAPE = 2
PRESENT = re.compile(r"present \d+ after the marker, frame \d+, (\d+) ms after the one before")


def write_scene(folder):
    """Rows of triangles 2 pixels across, 10 units ahead of the start, textures alternating."""
    write_image(os.path.join(folder, "green.bmp"), 8, 8, (40, 200, 120))
    write_image(os.path.join(folder, "orange.bmp"), 8, 8, (200, 100, 40))
    mesh = Mesh()
    size = 0.03
    rows = TRIANGLES // COLUMNS
    for k in range(TRIANGLES):
        x, y = (k % COLUMNS - COLUMNS / 2) * size, (k // COLUMNS - rows / 2) * size
        mesh.add_triangle([(x, y, 10.0), (x, y + size, 10.0), (x + size, y + size, 10.0)], k % 2)
    write_map(os.path.join(folder, "map.txt"), (0, 0, 0), mesh, ["green.bmp", "orange.bmp"])


def shows_triangles(picture):
    """Lit pixels across the centre row: the window is up and the first frame drawn."""
    y = picture.height // 2
    row = [picture.pixel(x, y) for x in range(picture.width)]
    return sum(24 < max(p) and p != (255, 255, 255) for p in row) > picture.width // 8


@contextlib.contextmanager
def pointer_moving(screen):
    """Moves of a pixel or two right of the centre every 10 ms, until the block ends: wherever the
    program finds the pointer, it turns. One xdotool runs many moves; one per move would be slow."""
    stop = threading.Event()
    cx, cy = screen.width // 2, screen.height // 2

    def wiggle():
        while not stop.is_set():
            moves = []
            for dx in (1, 2) * 10:
                moves += ["mousemove", str(cx + dx), str(cy), "sleep", "0.01"]
            screen.xdotool(*moves, check_status=False)

    thread = threading.Thread(target=wiggle)
    thread.start()
    try:
        yield
    finally:
        stop.set()
        thread.join()


def presents_after_marker(folder):
    """The milliseconds each present came after the one before."""
    with open(os.path.join(folder, "proxy.log")) as f:
        return [int(m.group(1)) for m in map(PRESENT.match, f) if m]


def escape_run(number, program, screen, folder):
    """Gives the number of presents after Escape."""
    for name in ("proxy.log", "escape"):
        with contextlib.suppress(FileNotFoundError):
            os.remove(os.path.join(folder, name))
    run = program.start(folder, dict(screen.env(), VELLMORA_PROXY_DIR=windows_path(folder)))
    started = time.time()
    check(screen.window("Vellmora", run) is not None, "no visible window titled Vellmora")
    first = screen.wait_for(shows_triangles, 60)
    check(first is not None, "no picture of the triangles within 60 s")
    print(f"run {number}: first picture {time.time() - started:.1f} s after the start", flush=True)
    with pointer_moving(screen):
        time.sleep(TURNING_SECONDS)
        check(screen.shot().rgb != first.rgb, "the moving pointer does not turn the view")
        # xdotool returns once the X server has the key.
        screen.xdotool("keydown", "Escape")
        open(os.path.join(folder, "escape"), "w").close()
        screen.xdotool("keyup", "Escape", check_status=False)
        code, err = run.finish()
    check(code == 0, f"Escape ended the program with exit code {code:#010x}; stderr {err!r}")
    after = presents_after_marker(folder)
    print(f"run {number}: {len(after)} presents after Escape, the frame under way included, "
          f"frames of {', '.join(map(str, after)) or '-'} ms", flush=True)
    return len(after)


def run_test(program, folder):
    write_scene(folder)
    with Screen() as screen:
        counts = [escape_run(n, program, screen, folder) for n in range(1, RUNS + 1)]
    check(max(counts) <= MAX_PRESENTS_AFTER_ESCAPE,
          f"presents after Escape per run: {counts}, more than {MAX_PRESENTS_AFTER_ESCAPE}")


if __name__ == "__main__":
    sys.exit(run_beside_test_d3d9(sys.argv[1], run_test))
