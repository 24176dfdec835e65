#!/usr/bin/env python3
"""The native program on a real Wayland compositor (headless sway), where mouse look runs on SDL's
relative mode: the window covers the output and draws; a relative pointer motion turns the view by
0.004 radians a pixel; W moves; Tab pauses (the picture stays still) and resumes; Escape exits 0.

usage: wayland_check.py PROGRAM INJECTOR   (exit 77 when either is not built or sway is missing)"""

import math
import os
import shutil
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

from harness import (SKIPPED, Mesh, Native, Wayland, check, close, main, scratch_folder,  # noqa: E402
                     skip_unless_built, write_image, write_map)
from scenarios import GREEN, square_span, width  # noqa: E402

RADIANS_PER_PIXEL = 0.004
DISTANCE, HALF = 40.0, 4.0
POINTER_SIZE = 64


def expected_span(display, yaw):
    """Where the square's edges land once the camera at the start has turned right by yaw."""
    focal = (display.height / 2) / math.tan(math.pi / 8)
    edges = []
    for x in (-HALF, HALF):
        camera_x = x * math.cos(yaw) - DISTANCE * math.sin(yaw)
        camera_z = x * math.sin(yaw) + DISTANCE * math.cos(yaw)
        edges.append(display.width / 2 + camera_x / camera_z * focal)
    return edges


def changed_box(before, after):
    """The smallest box (left, top, right, bottom) holding every pixel that differs, or None."""
    changed = [i // 3 for i in range(0, len(before.rgb), 3) if before.rgb[i:i + 3] != after.rgb[i:i + 3]]
    if not changed:
        return None
    xs, ys = [i % before.width for i in changed], [i // before.width for i in changed]
    return min(xs), min(ys), max(xs), max(ys)


def body(program, injector):
    folder = scratch_folder()
    try:
        write_image(os.path.join(folder, "green.bmp"), 8, 8, GREEN)
        mesh = Mesh()
        mesh.add_square((0.0, 0.0, DISTANCE), HALF, 0)
        write_map(os.path.join(folder, "map.txt"), (0, 0, 0), mesh, ["green.bmp"])
        with Wayland(injector) as display:
            run = program.start(folder, display.env())
            cy = display.height // 2
            first = display.wait_for(lambda p: close(p.pixel(display.width // 2, cy), GREEN, 3))
            check(first is not None, "no frame showing the square within 20 s")
            views = display.windows()
            print(f"views: {views}")
            check(len(views) == 1 and views[0][1:5] == (0, 0, display.width, display.height) and views[0][5],
                  "the window does not cover the output full-screen")
            print(f"start: square from x={square_span(first, cy)}")

            display.move(50, 0)
            expected = expected_span(display, 50 * RADIANS_PER_PIXEL)
            turned = display.wait_for(lambda p: abs(square_span(p, cy)[0] - expected[0]) <= 3, 5)
            span = square_span(turned or display.shot(), cy)
            print(f"after a relative motion of 50 pixels: square from x={span}, expected {expected}")
            check(turned is not None and abs(span[1] - expected[1]) <= 3,
                  "the view did not turn by 0.004 radians a pixel")

            start_width = width(span)
            for _ in range(20):
                display.tap("w", 0.1)
                span = square_span(display.shot(), cy)
                if width(span) >= start_width + 4:
                    break
            check(width(span) >= start_width + 4, "W did not bring the square closer")
            print(f"after W: square from x={span}")

            display.tap("Tab")
            time.sleep(0.5)
            paused = display.shot()
            display.tap("w", 0.3)
            display.move(40, 0)
            time.sleep(1.5)
            box = changed_box(paused, display.shot())
            # The compositor draws the pointer, shown while paused, into the picture.
            check(box is None or (box[2] - box[0] <= POINTER_SIZE and box[3] - box[1] <= POINTER_SIZE),
                  f"the picture changed while paused, within {box}")
            print(f"paused: picture unchanged after W and a pointer motion but for the pointer, within {box}")

            display.tap("Tab")
            time.sleep(0.5)
            before = width(square_span(display.shot(), cy))
            grown = False
            for _ in range(20):
                display.tap("w", 0.1)
                grown = width(square_span(display.shot(), cy)) >= before + 4
                if grown:
                    break
            check(grown, "W did not move the camera after Tab resumed")
            print("resumed: W moves the camera again")

            display.tap("Escape")
            code, err = run.finish()
            check(code == 0, f"Escape ended with exit code {code}: {err}")
            print("Escape: exit code 0")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    viewer, injector = Native(sys.argv[1]), sys.argv[2]
    skip_unless_built(*viewer.files(), injector)
    if not all(shutil.which(tool) for tool in ("sway", "grim", "swaymsg", "setpriv")):
        print("skipped: sway and grim are not installed")
        sys.exit(SKIPPED)
    sys.exit(main(lambda: body(viewer, injector)))
