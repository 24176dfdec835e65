#!/usr/bin/env python3
"""A lost Direct3D device recovers, seen through the Windows program under Wine with a d3d9.dll
beside it that loses the device when asked (windows/lost_device_d3d9.cpp), on the courtyard.
Three losses in a row: while lost the program presents nothing, does not spin and its memory stays
flat; after each reset Wine's Reset has accepted it (so every default-pool object was released),
the mouse turns the picture again and turning back gives the picture of before the loss, drawn
with every state restored. A fourth loss, during which map.txt gains a square in front of the
camera, comes back showing it. Escape during a fifth loss ends it with exit code 0.

usage: lost_device.py WINDOWS_BUILD_DIR   (exit 77 while it is not built)"""

import os
import shutil
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))

from harness import ROOT, Mesh, Screen, check, memory_kib, run_beside_test_d3d9, windows_path  # noqa: E402

LOSSES = 3
# TestCooperativeLevel says lost this many times: 1.8 s and more at one check in 60 ms, well past the
# 1.2 s in which the test takes the program's processor time and memory.
LOST_CHECKS = 30
MAX_GROWTH_KIB = 16 * 1024
MAX_CPU_SHARE = 0.25


def proxy_line(folder, prefix, run, seconds=30):
    """The first line of the proxy's log that starts with prefix, waiting for it."""
    deadline = time.time() + seconds
    while time.time() < deadline and run.running():
        path = os.path.join(folder, "proxy.log")
        if os.path.exists(path):
            with open(path) as f:
                for line in f.read().splitlines():
                    if line.startswith(prefix):
                        return line
        time.sleep(0.05)
    check(False, f"the proxy never said {prefix!r} (program running: {run.running()})")


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def steady(screen):
    """A picture that the next one repeats: the scene is static while nothing is pressed."""
    previous = screen.shot()
    for _ in range(20):
        time.sleep(0.2)
        picture = screen.shot()
        if picture.rgb == previous.rgb:
            return picture
        previous = picture
    check(False, "the picture does not settle")


def share_off(picture, other):
    return picture.difference(other)[1]


def lose_and_recover(loss, program, run, screen, folder):
    before = steady(screen)
    open(os.path.join(folder, "lose"), "w").close()
    proxy_line(folder, f"lost {loss}", run)
    pid = program.pid(run)
    memory = [memory_kib(pid)]
    # The processor's time is taken well inside the loss: the reset and the first frames after it
    # compile shaders on llvmpipe.
    time.sleep(0.2)
    start, cpu_start = time.time(), cpu_seconds(pid)
    while time.time() - start < 1.0:
        memory.append(memory_kib(pid))
        time.sleep(0.1)
    cpu_share = (cpu_seconds(pid) - cpu_start) / (time.time() - start)
    check(not os.path.exists(os.path.join(folder, "proxy.log")) or
          not any(line.startswith(f"reset {loss} ") for line in open(os.path.join(folder, "proxy.log"))),
          "the device came back before the processor's time was taken")
    reset = proxy_line(folder, f"reset {loss} ", run)
    print(f"loss {loss}: {reset}; resident {memory[0]} to {max(memory)} KiB; CPU {cpu_share:.0%} while lost")
    words = reset.split()
    check(words[-4] == "0", f"the program presented while its device was lost: {reset}")
    # Asked every 60 ms; on a busy machine a late check brings the next one nearer, but a loop that
    # asks without pacing does so within a few milliseconds.
    check(int(words[5]) >= 30, f"the device was asked again within {words[5]} ms: {reset}")
    check(max(memory) - memory[0] <= MAX_GROWTH_KIB,
          f"resident memory grew by {max(memory) - memory[0]} KiB while lost")
    check(cpu_share <= MAX_CPU_SHARE, f"the program spun while lost: {cpu_share:.0%} of a CPU")

    cx, cy = screen.width // 2, screen.height // 2
    screen.move_pointer(cx + 40, cy)
    turned = screen.wait_for(lambda p: share_off(p, before) > 0.05, 10)
    check(turned is not None, f"after reset {loss} the mouse does not turn the picture")
    screen.move_pointer(cx - 40, cy)
    back = screen.wait_for(lambda p: share_off(p, before) < 0.01, 10)
    check(back is not None, f"after reset {loss}, turning back does not give the picture of before the loss "
                            f"({share_off(screen.shot(), before):.1%} of the pixels differ)")
    print(f"loss {loss}: the mouse turns the picture, and turning back gives the picture of before the loss")


def gain_square(map_path):
    """Adds a square just in front of the courtyard's start, facing it, to its map.txt."""
    with open(map_path) as f:
        lines = f.read().split("\n")
    start = [float(n) for n in lines[0].split()]
    triangles = int(lines[1])
    vertices = int(lines[2 + triangles])
    square = Mesh()
    square.add_square((start[0], start[1], start[2] + 1.0), 0.3, 0)
    added = ["%d %d %d %d" % (a + vertices, b + vertices, c + vertices, t) for a, b, c, t in square.triangles]
    lines[2 + triangles + 1 + vertices:2 + triangles + 1 + vertices] = ["%f %f %f %g %g" % v for v in square.vertices]
    lines[2 + triangles] = str(vertices + len(square.vertices))
    lines[2 + triangles:2 + triangles] = added
    lines[1] = str(triangles + len(added))
    with open(map_path, "w") as f:
        f.write("\n".join(lines))


def lose_while_the_map_grows(loss, run, screen, folder, scene):
    before = steady(screen)
    open(os.path.join(folder, "lose"), "w").close()
    proxy_line(folder, f"lost {loss}", run)
    gain_square(os.path.join(scene, "map.txt"))
    print(f"loss {loss}: {proxy_line(folder, f'reset {loss} ', run)}")
    shown = screen.wait_for(lambda p: share_off(p, before) > 0.3, 10)
    check(shown is not None, f"after reset {loss}, the square map.txt gained while the device was lost is not shown "
                             f"({share_off(screen.shot(), before):.1%} of the pixels differ)")
    print(f"loss {loss}: the square the map gained while lost is shown "
          f"({share_off(shown, before):.1%} of the pixels differ)")


def run_test(program, folder):
    scene = os.path.join(folder, "courtyard")
    shutil.copytree(os.path.join(ROOT, "examples", "courtyard"), scene)
    with Screen() as screen:
        env = dict(screen.env(), VELLMORA_PROXY_DIR=windows_path(folder),
                   VELLMORA_LOST_CHECKS=str(LOST_CHECKS))
        run = program.start(scene, env)
        print(proxy_line(folder, "loaded", run, 60))
        check(screen.window("Vellmora", run) is not None, "no visible window titled Vellmora")
        check(screen.wait_for(lambda p: p.scene_figures()[1] > 0.5, 30) is not None,
              "no picture of the courtyard within 30 s")
        for loss in range(1, LOSSES + 1):
            lose_and_recover(loss, program, run, screen, folder)
        lose_while_the_map_grows(LOSSES + 1, run, screen, folder, scene)
        open(os.path.join(folder, "lose"), "w").close()
        proxy_line(folder, f"lost {LOSSES + 2}", run)
        screen.tap("Escape")
        code, err = run.finish()
        check(code == 0, f"Escape while lost ended with exit code {code:#010x}; stderr {err!r}")
        print("Escape while lost: exit code 0")


if __name__ == "__main__":
    sys.exit(run_beside_test_d3d9(sys.argv[1], run_test))
