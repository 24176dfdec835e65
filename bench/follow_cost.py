#!/usr/bin/env python3
"""What following its files costs the native viewer, on a copy of the large example: the frame time
of the frames in which the viewer asked after its files against the frames in which it did not,
both from one run, and the resident memory's peak before and during a reload of map.txt, when the
old and the new scene are held together. A probe preloaded into the viewer (frame_probe) times the
frames.

usage: bench/follow_cost.py [LINUX_BUILD_DIR]   (after tools/make_courtyard --large has made examples/large)"""

import os
import shutil
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))

from harness import ROOT, Native, Screen, check, main, memory_kib, scratch_folder  # noqa: E402

ROUNDS = 3
FRAMES = 300


def rounds(path, count, seconds=300):
    """The probe's first count lines of figures, waiting for them."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        if os.path.exists(path):
            with open(path) as f:
                lines = f.read().splitlines()
            if len(lines) >= count:
                return [line.split() for line in lines[:count]]
        time.sleep(0.2)
    check(False, f"the probe gave no {count} rounds of figures within {seconds} s")


def body(build):
    large = os.path.join(ROOT, "examples", "large")
    check(os.path.exists(os.path.join(large, "map.txt")), "no examples/large: run tools/make_courtyard --large first")
    folder = scratch_folder()
    try:
        scene = os.path.join(folder, "large")
        shutil.copytree(large, scene)
        figures = os.path.join(folder, "figures")
        with Screen() as screen:
            env = dict(screen.env(), LD_PRELOAD=os.path.join(build, "bench", "libframe_probe.so"),
                       VELLMORA_PROBE_OUT=figures, VELLMORA_PROBE_FRAMES=str(FRAMES))
            program = Native(os.path.join(build, "vellmora"))
            run = program.start(scene, env)
            for words in rounds(figures, ROUNDS):
                print(f"{FRAMES} frames: {words[3]} without a check, mean {words[4]} ms, longest {words[5]} ms; "
                      f"{words[7]} with one, mean {words[8]} ms, longest {words[9]} ms, {words[11]} µs of it in stat")
            pid = program.pid(run)
            before = memory_kib(pid, "VmHWM")
            with open(os.path.join(scene, "map.txt"), "a") as f:
                f.write("\n")
            started = time.time()
            reload = rounds(figures, ROUNDS + 1)[-1]
            after = memory_kib(pid, "VmHWM")
            print(f"reload: peak resident {before // 1024} MiB before, {after // 1024} MiB with both scenes held; "
                  f"longest frame of the next {FRAMES} {max(float(reload[5]), float(reload[9])):.0f} ms "
                  f"(seen {time.time() - started:.1f} s after the change)")
            screen.tap("Escape")
            code, err = run.finish(60)
            check(code == 0 and "map.txt: reloaded:" in err, f"exit code {code}, stderr {err!r}")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(lambda: body(os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                                                 os.path.join(ROOT, "build", "linux")))))
