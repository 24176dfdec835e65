#!/usr/bin/env python3
"""Shows the sample courtyard in the built viewer, for scripts/run.

usage: show_courtyard.py [--windows]
On a desktop the viewer opens there. Without a display (neither DISPLAY nor WAYLAND_DISPLAY set)
it runs on a virtual screen instead, flies a short scripted tour, saves a few screenshots as PNG
and quits with Escape. Prints each screenshot's path and the viewer's exit code; exits with the
viewer's status (its low byte), or 1 when the viewer could not be driven."""

import glob
import os
import sys
import time

from harness import ROOT, Failure, Native, Screen, Windows, check, desktop_env

SCENE = os.path.join(ROOT, "examples", "courtyard")


def show_on_desktop(program):
    code, _ = program.start(SCENE, desktop_env(), timeout_seconds=24 * 3600).finish(seconds=None)
    return code


def tour(program, windows):
    shots = os.path.abspath(os.environ.get("VELLMORA_RUN_SCREENSHOTS") or os.path.join(ROOT, "build", "screenshots"))
    os.makedirs(shots, exist_ok=True)
    prefix = "windows" if windows else "courtyard"
    with Screen(1280, 720) as screen:
        print(f"run: no display here, so the viewer runs on the virtual screen {screen.display}", flush=True)
        run = program.start(SCENE, screen.env())
        if screen.window("Vellmora", run) is None:
            if run.running():
                run.stop()
                raise Failure("the viewer's window did not appear")
            code, err = run.finish()
            sys.stderr.write(err)
            check(code != 0, "the viewer ended without showing its window")
            return code
        # The viewer handles one message a frame, so a burst of input takes a while to act; Wine
        # draws more slowly and needs longer.
        settle = 3 if windows else 0.5
        time.sleep(settle)
        for old in glob.glob(os.path.join(shots, f"{prefix}-*.png")):
            os.remove(old)  # a tour's pictures only, none left from an earlier one
        count = 0

        def shot(name):
            nonlocal count
            count += 1
            path = os.path.join(shots, f"{prefix}-{count}-{name}.png")
            screen.shot().save(path)
            print(f"screenshot: {path}", flush=True)

        # The viewer puts the pointer back at the centre after each move, so each move turns the
        # view by its offset from the centre: 0.004 radians a pixel; right turns right, down looks down.
        def look(dx, dy):
            screen.move_pointer(screen.width // 2 + dx, screen.height // 2 + dy)
            time.sleep(settle)

        # Short taps: each moves the camera a step of 0.1 for each frame the key is down.
        def tap(key, times):
            screen.keys(key, times)
            time.sleep(settle)

        shot("start")
        look(60, 0)
        look(60, 40)
        shot("turned")
        look(-120, -40)
        tap("w", 30)
        tap("a", 8)
        shot("forward")
        tap("space", 60)
        tap("s", 30)
        look(0, 100)
        look(0, 100)
        shot("above")
        screen.keys("Escape")
        code, _ = run.finish()
        return code


def show(windows):
    program = Windows() if windows else Native(os.environ.get("VELLMORA_RUN_PROGRAM"))
    if windows and os.environ.get("VELLMORA_RUN_PROGRAM"):
        program = Windows(os.environ["VELLMORA_RUN_PROGRAM"])
    missing = [path for path in program.files() if not os.path.exists(path)]
    if missing:
        print(f"run: not built: {', '.join(missing)}", file=sys.stderr)
        return 1
    try:
        if os.environ.get("DISPLAY") or os.environ.get("WAYLAND_DISPLAY"):
            code = show_on_desktop(program)
        else:
            code = tour(program, windows)
    except Failure as failure:
        print(f"run: {failure}", file=sys.stderr)
        print("exit code: none")
        return 1
    print(f"exit code: {code:#010x}" if code > 255 else f"exit code: {code}")
    return code & 0xFF


if __name__ == "__main__":
    sys.exit(show("--windows" in sys.argv[1:]))
