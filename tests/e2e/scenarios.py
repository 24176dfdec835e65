#!/usr/bin/env python3
"""End-to-end scenarios of the viewer on a virtual screen: pictures, controls, start-up failures,
the command line, the scene following its files, and (Windows only) a refused start-up seen from a console and our D3DX math against the real
library. The same checks hold for the Windows program under Wine and for the native program.

usage: scenarios.py SCENARIO (--windows-build DIR | --program PATH)
Exit status 0 when every check holds, 1 when one fails, 77 when the program is not built."""

import argparse
import os
import shutil
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))

from harness import (ROOT, Mesh, Native, Screen, Windows, check, close, dxt_colour, lit, main,  # noqa: E402
                     pfm_colour, project, scratch_folder, skip_unless_built, windows_path, write_dds,
                     write_image, write_map, write_pfm)

GREEN = (40, 200, 120)
ORANGE = (200, 100, 40)


def report(name, measured, expected):
    print(f"{name}: measured {measured}, expected {tuple(round(e, 1) for e in expected)}")


def expect_colour(picture, name, point, expected, tolerance):
    measured = picture.pixel(*point)
    report(name, measured, expected)
    check(close(measured, expected, tolerance), f"{name}: {measured} is not {expected} (±{tolerance})")


def first_frame(screen, point, colour):
    """Waits for the program's first picture, then gives its window the keyboard. The corner must
    no longer show the white root, which alone could pass for a white square."""
    corner = (screen.width - 1, screen.height - 1)
    picture = screen.wait_for(
        lambda p: close(p.pixel(*point), colour, 3) and p.pixel(*corner) != (255, 255, 255))
    check(picture is not None, f"no frame showing {colour} at {point} within 20 s")
    check(screen.window("Vellmora", seconds=10) is not None, "no visible window titled Vellmora")
    return picture


def pictures(program, screen, folder):
    """Lighting, culling and clipping, each seen at a known place of one picture."""
    write_image(os.path.join(folder, "green.bmp"), 8, 8, GREEN)
    write_image(os.path.join(folder, "orange.bmp"), 8, 8, ORANGE)
    mesh = Mesh()
    facing, turned = (-1.5, 0.8, 5.0), (1.5, 0.8, 5.0)
    mesh.add_square(facing, 0.5, 0)
    mesh.add_square(turned, 0.5, 1, turn_degrees=60)
    # Counter-clockwise on screen: culled, although its texture would show.
    culled = [(0.0, -0.6, 5.0), (-0.6, -1.6, 5.0), (0.6, -1.6, 5.0)]
    mesh.add_triangle(culled, 0)
    far, near_far = (-40.0, -25.0, 105.0), (40.0, -25.0, 95.0)
    mesh.add_square(far, 10.0, 0)
    mesh.add_square(near_far, 10.0, 0)
    write_map(os.path.join(folder, "map.txt"), (0, 0, 0), mesh, ["green.bmp", "orange.bmp"])

    run = program.start(folder, screen.env())
    centre = project(screen, facing)
    picture = first_frame(screen, centre, GREEN)
    expect_colour(picture, "camera-facing square", centre, lit(GREEN, 1.0), 2)
    expect_colour(picture, "square turned 60 degrees", project(screen, turned), lit(ORANGE, 0.5), 3)
    centroid = tuple(sum(c[i] for c in culled) / 3 for i in range(3))
    expect_colour(picture, "counter-clockwise triangle", project(screen, centroid), (0, 0, 0), 2)
    expect_colour(picture, "square 105 units away", project(screen, far), (0, 0, 0), 2)
    expect_colour(picture, "square 95 units away", project(screen, near_far), lit(GREEN, 1.0), 2)
    # The window covers the whole screen: its far corner shows the cleared black, not the white root.
    expect_colour(picture, "bottom-right corner", (screen.width - 1, screen.height - 1), (0, 0, 0), 0)
    # Escape ends the program in the paused mode too.
    screen.tap("Tab")
    screen.tap("Escape")
    code, _ = run.finish()
    check(code == 0, f"Escape while paused ended with exit code {code:#010x}")


def stored_textures(program, screen, folder):
    """DDS (DXT1, DXT5, 32-bit colour) and PFM textures, each on a square facing the camera."""
    write_dds(os.path.join(folder, "dxt1.dds"), 8, 8, (200, 60, 40), "DXT1")
    write_dds(os.path.join(folder, "dxt5.dds"), 8, 8, (40, 160, 220), "DXT5")
    write_dds(os.path.join(folder, "plain.dds"), 8, 8, GREEN, "A8R8G8B8")
    write_pfm(os.path.join(folder, "light.pfm"), 8, 8, (0.9, 0.6, 0.1))
    expected = [dxt_colour((200, 60, 40)), dxt_colour((40, 160, 220)), GREEN, pfm_colour((0.9, 0.6, 0.1))]
    centres = [(-1.5, 0.8, 5.0), (1.5, 0.8, 5.0), (-1.5, -0.8, 5.0), (1.5, -0.8, 5.0)]
    mesh = Mesh()
    for texture, centre in enumerate(centres):
        mesh.add_square(centre, 0.5, texture)
    write_map(os.path.join(folder, "map.txt"), (0, 0, 0), mesh, ["dxt1.dds", "dxt5.dds", "plain.dds", "light.pfm"])

    run = program.start(folder, screen.env())
    picture = first_frame(screen, project(screen, centres[2]), GREEN)
    for name, centre, colour in zip(["DXT1", "DXT5", "A8R8G8B8 DDS", "PFM"], centres, expected):
        expect_colour(picture, f"{name} square", project(screen, centre), lit(colour, 1.0), 3)
    screen.tap("Escape")
    code, err = run.finish()
    check(code == 0 and "vellmora:" not in err, f"exit code {code:#010x}, stderr {err!r}")


def square_span(picture, y):
    span = picture.span(y, GREEN, 3)
    check(span is not None, "the square is not on the centre row")
    return span


def width(span):
    return span[1] - span[0]


def controls(program, screen, folder):
    """W, the mouse, Tab and Escape, seen through one square ahead of the camera."""
    write_image(os.path.join(folder, "green.bmp"), 8, 8, GREEN)
    mesh = Mesh()
    mesh.add_square((0.0, 0.0, 40.0), 4.0, 0)
    write_map(os.path.join(folder, "map.txt"), (0, 0, 0), mesh, ["green.bmp"])
    cx, cy = screen.width // 2, screen.height // 2

    run = program.start(folder, screen.env())
    span = square_span(first_frame(screen, (cx, cy), GREEN), cy)
    print(f"start: square from x={span[0]} to x={span[1]}")
    check(not screen.cursor_shows(), "the pointer shows while active")

    # The step is per frame and the frame rate unknown: tap briefly until the square has grown.
    start_width = width(span)
    for _ in range(20):
        screen.tap("w", 0.1)
        span = square_span(screen.wait_for(lambda p: True, 0), cy)
        if width(span) >= start_width + 4:
            break
    check(width(span) >= start_width + 4, "W did not bring the square closer")
    print(f"after W: square from x={span[0]} to x={span[1]}")

    screen.move_pointer(cx + 30, cy)
    centre = sum(span) / 2
    turned = screen.wait_for(lambda p: sum(square_span(p, cy)) / 2 < centre - 10, 5)
    check(turned is not None, "moving the mouse right did not move the square left")
    span = square_span(turned, cy)
    print(f"after the mouse moved right: square from x={span[0]} to x={span[1]}")
    check(screen.pointer() == (cx, cy), f"the pointer was not put back at the centre: {screen.pointer()}")

    screen.tap("Tab")
    time.sleep(0.5)
    paused = screen.shot()
    screen.tap("w", 0.3)
    screen.move_pointer(cx + 40, cy)
    changed = screen.wait_for(lambda p: p.rgb != paused.rgb, 1.5)
    check(changed is None, "the picture changed while paused")
    check(screen.pointer() == (cx + 40, cy), "the pointer was held at the centre while paused")
    check(screen.cursor_shows(), "the pointer is hidden while paused")
    print("paused: picture unchanged after W and a mouse move; the pointer shows and moves freely")

    screen.tap("Tab")
    screen.move_pointer(cx, cy)
    resumed = None
    for _ in range(20):
        screen.tap("w", 0.1)
        resumed = screen.wait_for(lambda p: p.rgb != paused.rgb, 0.2)
        if resumed is not None:
            break
    check(resumed is not None, "the picture did not change after Tab resumed")
    check(not screen.cursor_shows(), "the pointer still shows after Tab resumed")
    print("resumed: W moves the camera again; the pointer is hidden")

    screen.tap("Escape")
    code, _ = run.finish()
    check(code == 0, f"Escape ended with exit code {code:#010x}")
    print("Escape: exit code 0")


def reload(program, screen, folder):
    """The scene follows its files: a texture changed, geometry moved, a broken map that leaves the
    picture as it was, then mended. The camera stays: each new map's start is elsewhere."""
    image, map_path = os.path.join(folder, "green.bmp"), os.path.join(folder, "map.txt")
    write_image(image, 8, 8, GREEN)

    def write_square(centre, start):
        mesh = Mesh()
        mesh.add_square(centre, 0.5, 0)
        write_map(map_path, start, mesh, ["green.bmp"])

    def shows(colour, centre, what):
        point = project(screen, centre)
        started = time.time()
        picture = screen.wait_for(lambda p: close(p.pixel(*point), lit(colour, 1.0), 3), 4)
        check(picture is not None, f"{what}: not shown within 4 s")
        print(f"{what}: shown after {time.time() - started:.1f} s")
        check(time.time() - started <= 2.0, f"{what}: shown only after {time.time() - started:.1f} s")
        return picture

    write_square((0.0, 0.0, 5.0), (0, 0, 0))
    run = program.start(folder, screen.env())
    first_frame(screen, project(screen, (0.0, 0.0, 5.0)), GREEN)
    write_image(image, 8, 8, ORANGE)
    shows(ORANGE, (0.0, 0.0, 5.0), "the texture changed")
    write_square((1.5, 0.0, 5.0), (0, 0, -30))
    moved = shows(ORANGE, (1.5, 0.0, 5.0), "the square moved")
    with open(map_path, "w") as f:
        f.write("0 0 0\n2\n0 1 2 0\n")
    time.sleep(2)
    check(screen.shot().rgb == moved.rgb, "the picture changed with a broken map")
    write_square((-1.5, 0.0, 5.0), (9, 9, 9))
    shows(ORANGE, (-1.5, 0.0, 5.0), "the map mended")

    screen.tap("Escape")
    code, err = run.finish()
    print(f"exit code {code:#010x}, stderr:\n{err}")
    check(code == 0, f"Escape ended with exit code {code:#010x}")
    check(err.splitlines() == ["green.bmp: reloaded", "map.txt: reloaded: 2 triangles, 1 texture",
                               "map.txt:2: triangle count 2 is more than the rest of the file holds "
                               "(still showing the previous map)",
                               "map.txt: reloaded: 2 triangles, 1 texture"], "stderr is not one line a change")


def refused(program, screen, folder, what, expected):
    """Starts the program on the map.txt in folder: it must end at once with the start-up failure
    code and one line on stderr holding expected."""
    code, err = program.start(folder, screen.env()).finish(15)
    print(f"{what}: exit code {code:#010x}, stderr {err.strip()!r}")
    check(code == program.failure_code, f"{what}: ended with {code:#x}, not {program.failure_code:#x}")
    check(len(err.splitlines()) == 1 and expected in err, f"{what}: stderr is not one line saying {expected!r}")


def failures(program, screen, folder):
    """Start-up failures give E_FAIL in full and one line on stderr saying why; images that do not
    load do not stop it."""
    map_file = os.path.join(folder, "map.txt")
    refused(program, screen, folder, "no map.txt", "map.txt: cannot open the map file")
    os.mkdir(map_file)
    refused(program, screen, folder, "map.txt a folder", "map.txt: cannot open the map file: not a regular file")
    os.rmdir(map_file)
    if isinstance(program, Native):
        # Without a writer, opening a FIFO would wait for ever.
        os.mkfifo(map_file)
        refused(program, screen, folder, "map.txt a FIFO", "map.txt: cannot open the map file: not a regular file")
        os.remove(map_file)

    mesh = Mesh()
    mesh.add_square((0.0, 0.0, 5.0), 1.0, 0)
    write_map(map_file, (0, 0, 0), mesh, ["name.bmp"])
    with open(map_file) as f:
        text = f.read()
    for what, changed, expected in [
            ("malformed map", text.replace("%name.bmp%", "no percent sign before this name"), "map.txt:11: expected"),
            ("infinite start", text.replace("0 0 0", "0 inf 0", 1), 'map.txt:1: expected a start position coordinate, '
                                                                     'found "inf" (not a finite number)'),
            ("no triangles", "0 0 0\n0\n0\n0\n", "map.txt: the map has no triangles")]:
        with open(map_file, "w") as f:
            f.write(changed)
        refused(program, screen, folder, what, expected)
    os.remove(map_file)

    # A map as made on Windows: a byte-order mark, CR line ends, a file name in capitals and an image
    # named with a backslash and other letter case; 4000 slots naming that one large image, and one
    # that is no image at all.
    os.mkdir(os.path.join(folder, "textures"))
    write_image(os.path.join(folder, "textures", "green.png"), 1024, 1024, GREEN)
    with open(os.path.join(folder, "broken.bmp"), "wb") as f:
        f.write(b"BM not really an image")
    mesh.add_square((0.0, -1.0, 4.0), 0.4, 4000)
    table = name_table(folder)
    names = ["Textures\\Green.PNG"] * 4000 + ["broken.bmp"] + [name for name, _ in table]
    write_map(map_file, (0, 0, 0), mesh, names)
    with open(map_file, "rb") as f:
        windows_text = b"\xef\xbb\xbf" + f.read().replace(b"\n", b"\r")
    os.remove(map_file)
    with open(os.path.join(folder, "MAP.TXT"), "wb") as f:
        f.write(windows_text)
    run = program.start(folder, screen.env())
    centre = (screen.width // 2, screen.height // 2)
    picture = first_frame(screen, centre, lit(GREEN, 1.0))
    expect_colour(picture, "square of the image named the Windows way", centre, lit(GREEN, 1.0), 2)
    expect_colour(picture, "square whose image did not load", project(screen, (0.0, -1.0, 4.0)),
                  lit((255, 255, 255), 1.0), 2)
    peak = run.peak_memory_mib()
    print(f"4000 slots naming one 1024x1024 image: peak resident memory {peak:.0f} MiB")
    check(peak < 400, "the image was not loaded once for all the slots that name it")
    screen.tap("Escape")
    code, err = run.finish()
    check(code == 0, f"Escape ended with exit code {code:#010x}")
    warnings = err.splitlines()
    check(len(warnings) > 0 and 'map.txt:4017: warning: cannot load texture "broken.bmp": not an image format'
          in warnings[0], f"stderr does not start with one warning naming broken.bmp at its line: {err!r}")
    expected = [f'map.txt:{4018 + k}: warning: cannot load texture "{quote(name)}": {why}'
                for k, (name, why) in enumerate(table) if why != "opened"]
    for line, want in zip(warnings[1:] + [""] * len(expected), expected):
        check(line == want, f"a name opened otherwise than Windows opens it: {line!r}, not {want!r}")
    check(len(warnings) == 1 + len(expected), f"more warnings than the names that fail: {err!r}")
    print(f"{len(table)} names opened as Windows opens them")


def name_table(folder):
    """The names of the shared table with what opening each gives, its files made in folder."""
    rows = []
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "platform", "windows_names.tsv")) as f:
        for line in f.read().splitlines():
            kind, *rest = line.split("\t")
            if kind == "file":
                os.makedirs(os.path.join(folder, os.path.dirname(rest[0])), exist_ok=True)
                write_image(os.path.join(folder, rest[0]), 2, 2, ORANGE)
            elif kind == "name":
                rows.append((rest[0], rest[1]))
    return rows


def quote(name):
    return name.replace("\\", "\\\\").replace('"', '\\"')


def console(program, screen, folder):
    """Started from a console with no stderr of its own, a refused start-up shows its line in that
    console and passes it to the debugger too; --version answers there."""
    code, text = program.run_in_console(folder, screen.env())
    print(text, end="")
    line = f"map.txt: cannot open the map file: not found (in {windows_path(folder)})"
    check(code == program.failure_code, f"a missing map.txt ended with {code:#010x}")
    check(line in text.splitlines(), "the line did not reach the console")
    # Wine's debug channel writes backslashes as C does.
    debug_line = line.replace("\\", "\\\\")
    check(f'OutputDebugStringA "{debug_line}\\n"' in text, "the line was not passed to OutputDebugStringA")

    code, text = program.run_in_console(folder, screen.env(), args=["--version"])
    print(text, end="")
    check(code == 0 and any(line.startswith("vellmora ") for line in text.splitlines()),
          "--version did not answer in the console")


def command_line(program, screen, folder):
    """Started elsewhere with a scene's folder as its argument, the program shows that scene; a
    missing folder is refused in one line before any window; --version and --help answer."""
    def path(linux_path):
        return windows_path(linux_path) if isinstance(program, Windows) else linux_path

    run = program.start(folder, screen.env(), args=[path(os.path.join(ROOT, "examples", "courtyard"))])
    check(screen.window("Vellmora", run) is not None, "no visible window titled Vellmora")
    picture = screen.wait_for(lambda p: p.textured_scene()[0], seconds=60)
    check(picture is not None, "the courtyard given as the argument was not shown")
    print(f"courtyard given as the argument: {picture.textured_scene()[1]}")
    screen.tap("Escape")
    code, err = run.finish()
    check(code == 0, f"Escape ended with exit code {code:#010x}: {err!r}")

    code, err = program.start(folder, screen.env(), args=[path(os.path.join(folder, "no such folder"))]).finish(15)
    print(f"a missing folder: exit code {code:#010x}, stderr {err.strip()!r}")
    check(code == program.failure_code and len(err.splitlines()) == 1 and 'no such folder": not found' in err,
          "a missing folder was not refused in one line naming it")

    for option, expected in (("--version", "vellmora "), ("--help", "usage: vellmora")):
        run = program.start(folder, screen.env(), args=[option])
        code, err = run.finish(15)
        print(f"{option}: exit code {code:#010x}, first line {run.out.splitlines()[:1]}")
        check(code == 0 and not err and run.out.startswith(expected), f"{option} did not answer on stdout")


def d3dx(program, screen, folder):
    """Our D3DX math against Wine's d3dx9_43."""
    result = program.run_tool("d3dx_compare.exe", folder, screen.env())
    print(result.stdout, end="")
    check(result.returncode == 0, "our D3DX math differs from d3dx9_43")


SCENARIOS = {"pictures": pictures, "stored_textures": stored_textures, "controls": controls, "failures": failures, "console": console,
             "command_line": command_line, "d3dx": d3dx, "reload": reload}
WINDOWS_ONLY = {"console", "d3dx"}


def run():
    parser = argparse.ArgumentParser()
    parser.add_argument("scenario", choices=SCENARIOS)
    which = parser.add_mutually_exclusive_group(required=True)
    which.add_argument("--windows-build")
    which.add_argument("--program")
    args = parser.parse_args()
    if args.program:
        check(args.scenario not in WINDOWS_ONLY, f"{args.scenario} is a scenario of the Windows program")
        program = Native(args.program)
        skip_unless_built(*program.files())
    else:
        program = Windows(build=args.windows_build)
        skip_unless_built(*program.files(), os.path.join(program.build, "d3dx_compare.exe"))

    def body():
        with Screen() as screen:
            folder = scratch_folder()
            try:
                SCENARIOS[args.scenario](program, screen, folder)
            finally:
                if isinstance(program, Windows):
                    program.stop_server()
                shutil.rmtree(folder, ignore_errors=True)

    return main(body)


if __name__ == "__main__":
    sys.exit(run())
