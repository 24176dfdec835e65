#!/usr/bin/env python3
"""Renders the same five views with the native program and with the Windows program under Wine, on
virtual screens of the same size, and compares the screenshots pixel by pixel: the start view, a
view turned by the mouse, a view tilted up, a view after a fixed number of frames of forward
movement, and a small room of several textures and slanted faces.

Movement is made exact by queueing keys while the paused program is stopped: W down, Tab down
(resume), N other key messages, W up; it handles one message a frame, so W is held for exactly
N + 1 frames however fast it draws.

usage: cross_check.py LINUX_PROGRAM WINDOWS_BUILD SCENE_DIR OUT_DIR
Without a map.txt in SCENE_DIR the first four views are taken in the room as well. Passes when the
mean absolute difference of each of red, green and blue is under 2/255 and no more than 0.5 % of
the pixels differ by more than 16/255 in any channel."""

import os
import shutil
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))

from harness import (Failure, Mesh, Native, Picture, Screen, Windows, check, main, skip_unless_built,  # noqa: E402
                     write_image, write_map)

WIDTH, HEIGHT = 640, 480
VIEWS = ("start", "turned", "tilted", "moved", "room")


def write_room(folder):
    """A room seen from a back corner, turned right and down: walls and a floor in three textures,
    one wall slanted, so faces meet the light at many angles."""
    os.makedirs(folder, exist_ok=True)
    write_image(os.path.join(folder, "brick.bmp"), 16, 16,
                lambda x, y: (0xc0, 0x30, 0x20) if (x // 4 + y // 4) % 2 else (0xe0, 0xc0, 0x90))
    write_image(os.path.join(folder, "stone.png"), 8, 8,
                lambda x, y: tuple(a + (b - a) * y // 7 for a, b in zip((0x20, 0x60, 0xc0), (0xf0, 0xf0, 0xf0))))
    write_image(os.path.join(folder, "moss.bmp"), 4, 4,
                lambda x, y: (0xf0, 0xd0, 0x20) if x == y and x in (1, 2) else (0x30, 0xa0, 0x40))
    mesh = Mesh()
    faces = [  # four corners (x, y, z, u, v) and a texture
        ([(-4, 0, 4, 0, 4), (-4, 3, 4, 0, 0), (4, 3, 4, 4, 0), (4, 0, 4, 4, 4)], 0),
        ([(4, 0, 4, 0, 3), (4, 3, 4, 0, 0), (3, 3, -4, 3, 0), (4, 0, -4, 3, 3)], 0),
        ([(-4, 0, -4, 0, 3), (-4, 3, -4, 0, 0), (-4, 3, 4, 3, 0), (-4, 0, 4, 3, 3)], 1),
        ([(-4, 0, -4, 0, 0), (-4, 0, 4, 0, 8), (4, 0, 4, 8, 8), (4, 0, -4, 8, 0)], 2),
        ([(-4, 0, -4, 0, 2), (4, 0, -4, 2, 2), (4, 3, -4, 2, 0), (-4, 3, -4, 0, 0)], 1),
    ]
    for corners, texture in faces:
        mesh.add_quad([mesh.add_vertex(*corner) for corner in corners], texture)
    write_map(os.path.join(folder, "map.txt"), (-1, 2.2, -3.9), mesh, ["brick.bmp", "stone.png", "moss.bmp"])


def start(program, screen, folder, settle):
    run = program.start(folder, screen.env())
    if screen.window("Vellmora", run) is None:
        run.stop()
        raise Failure(f"{folder}: the program showed no window")
    time.sleep(settle)
    return run


def tour(name, program, settle, scene, room, out):
    """The four scene views, then the room, each saved as NAME-VIEW.png in out."""
    with Screen(WIDTH, HEIGHT) as screen:
        run = start(program, screen, scene, settle)
        screen.shot().save(os.path.join(out, f"{name}-start.png"))
        screen.move_pointer(WIDTH // 2 + 120, HEIGHT // 2)
        time.sleep(settle)
        screen.shot().save(os.path.join(out, f"{name}-turned.png"))
        screen.move_pointer(WIDTH // 2, HEIGHT // 2 - 60)
        time.sleep(settle)
        screen.shot().save(os.path.join(out, f"{name}-tilted.png"))
        screen.keys("Tab")
        time.sleep(settle)
        run.pause()
        screen.xdotool("keydown", "w", "keydown", "Tab", "keyup", "Tab", *["keydown", "x", "keyup", "x"] * 12,
                       "keyup", "w")
        time.sleep(0.5)
        run.pause(False)
        time.sleep(settle)
        screen.shot().save(os.path.join(out, f"{name}-moved.png"))
        screen.keys("Escape")
        time.sleep(1)
        run.stop()
    with Screen(WIDTH, HEIGHT) as screen:
        run = start(program, screen, room, settle)
        screen.move_pointer(WIDTH // 2 + 150, HEIGHT // 2 + 60)
        time.sleep(settle)
        screen.shot().save(os.path.join(out, f"{name}-room.png"))
        run.stop()


def body(native, windows, scene, out):
    shutil.rmtree(out, ignore_errors=True)
    room = os.path.join(out, "room")
    write_room(room)
    if not os.path.exists(os.path.join(scene, "map.txt")):
        scene = room
    try:
        tour("windows", windows, 4, scene, room, out)
    finally:
        windows.stop_server()
    tour("linux", native, 1.5, scene, room, out)
    failures = []
    for view in VIEWS:
        means, off = Picture.load(os.path.join(out, f"windows-{view}.png")).difference(
            Picture.load(os.path.join(out, f"linux-{view}.png")))
        print(f"{view:7} mean difference (of 255): {' '.join(f'{m:.3f}' for m in means)}; "
              f"pixels off by more than 16: {off:.3%}")
        if max(means) >= 2.0 or off > 0.005:
            failures.append(view)
    check(not failures, f"the programs draw different pictures: {', '.join(failures)}")
    print("the native and the Windows program draw the same pictures")


if __name__ == "__main__":
    native, windows = Native(sys.argv[1]), Windows(build=sys.argv[2])
    skip_unless_built(*native.files(), *windows.files())
    scene, out = os.path.abspath(sys.argv[3]), os.path.abspath(sys.argv[4])
    sys.exit(main(lambda: body(native, windows, scene, out)))
