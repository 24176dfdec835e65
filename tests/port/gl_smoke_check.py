#!/usr/bin/env python3
"""Runs port_gl_smoke without a display (it must fail start-up with E_FAIL's low byte and one line
saying why), then on a virtual screen: checks the pixels that show Direct3D 9's rules and closes
the program with Escape.

usage: gl_smoke_check.py PROGRAM   (exit 77 when it is not built)"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))

from harness import Native, Screen, check, close, main, no_display_env, skip_unless_built  # noqa: E402

WHITE, BLACK = (255, 255, 255), (0, 0, 0)
RED, GREEN, BLUE = (255, 0, 0), (0, 255, 0), (0, 0, 255)
SLANTED = (217, 217, 217)  # ambient 64/255 plus 0.6 of the light

EXPECTED = [
    (11, 11, RED, "first texel row is v = 0 and B, G, R, A bytes give red"),
    (31, 11, GREEN, "texture second column"),
    (11, 31, BLUE, "texture second row"),
    (31, 31, WHITE, "texture last texel"),
    (30, 15, RED, "point sampling up to the texel edge"),
    (51, 11, RED, "wrap addressing"),
    (10, 50, BLACK, "left edge a quarter pixel past 10"),
    (11, 50, BLUE, "first pixel inside the left edge"),
    (90, 50, WHITE, "last pixel inside the right edge"),
    (91, 50, BLACK, "right edge a quarter pixel past 90"),
    (50, 10, BLACK, "top edge a quarter pixel past 10"),
    (50, 90, WHITE, "last pixel inside the bottom edge"),
    (50, 91, BLACK, "bottom edge"),
    (150, 50, SLANTED, "slanted quad"),
    (150, 150, (64, 64, 64), "quad lit from behind: ambient only"),
    (20, 150, WHITE, "near quad"),
    (50, 150, WHITE, "near quad wins where the far one is drawn after it"),
    (80, 150, SLANTED, "far quad where nothing covers it"),
    (230, 20, BLACK, "counter-clockwise triangle culled"),
    (230, 120, WHITE, "clockwise triangle drawn"),
]


def body(program):
    code, err = program.start(os.getcwd(), no_display_env()).finish()
    check(code == program.failure_code, f"without a display the exit status is {code}, not {program.failure_code}")
    check(len(err.splitlines()) == 1 and "no display" in err, f"without a display stderr says: {err!r}")

    with Screen(320, 240) as screen:
        run = program.start(os.getcwd(), screen.env())
        check(screen.window("Port smoke", run) is not None, "the program showed no window")
        # The window may map before its first frame is presented: until then the root shows white.
        picture = screen.wait_for(lambda p: p.pixel(10, 50) != WHITE, 10)
        check(picture is not None, "no frame was presented")
        wrong = [f"{what}: pixel ({x}, {y}) is {picture.pixel(x, y)}, not {colour}"
                 for x, y, colour, what in EXPECTED if not close(picture.pixel(x, y), colour, 1)]
        check(not wrong, "; ".join(wrong))
        screen.keys("Escape")
        code, _ = run.finish(5)
        check(code == 0, f"the exit status after Escape is {code}")
    print("all pixels as Direct3D 9 draws them")


if __name__ == "__main__":
    smoke = Native(sys.argv[1])
    skip_unless_built(*smoke.files())
    sys.exit(main(lambda: body(smoke)))
