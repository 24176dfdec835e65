#!/usr/bin/env python3
"""Time to the first presented frame and resident memory once running, of the native viewer on the
large example against the courtyard, in alternating runs on one virtual screen (medians of
VELLMORA_BENCH_ROUNDS, default 7). A probe preloaded into the viewer (first_frame_probe) reads both
from inside the program and ends it.

usage: bench/start_up.py [--baseline PROGRAM] [LINUX_BUILD_DIR]
(after tools/make_courtyard --large has made examples/large). With --baseline, another build of the
viewer takes its turns in the same runs, for a before-and-after comparison on an equally busy machine."""

import argparse
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))

from harness import ROOT, Native, Screen, check, main  # noqa: E402

SCENES = ("courtyard", "large")


def measure(program, probe, screen, scene):
    env = dict(screen.env(), LD_PRELOAD=probe, VELLMORA_PROBE_START_NS=str(time.monotonic_ns()))
    run = program.start(os.path.join(ROOT, "examples", scene), env)
    code, err = run.finish(120)
    figures = dict(line.split() for line in run.out.splitlines())
    check(code == 0 and len(figures) == 3, f"{scene}: no figures (exit {code}): {err.strip()}")
    return float(figures["first_frame_ms"]), float(figures["first_frame_cpu_ms"]), int(figures["resident_kib"]) / 1024


def body(build, baseline):
    programs = {"now": Native(os.path.join(build, "vellmora"))}
    if baseline:
        programs["baseline"] = Native(baseline)
    probe = os.path.join(build, "bench", "libfirst_frame_probe.so")
    check(os.path.exists(os.path.join(ROOT, "examples", "large", "map.txt")),
          "examples/large is missing: run tools/make_courtyard --large first")
    rounds = int(os.environ.get("VELLMORA_BENCH_ROUNDS", "7"))
    results = {(name, scene): [] for name in programs for scene in SCENES}
    with Screen(1280, 720) as screen:
        for _ in range(rounds):
            for name, program in programs.items():
                for scene in SCENES:
                    results[(name, scene)].append(measure(program, probe, screen, scene))
    for name in programs:
        medians = {scene: [statistics.median(run[k] for run in results[(name, scene)]) for k in range(3)]
                   for scene in SCENES}
        for scene, (ms, cpu, mib) in medians.items():
            print(f"{name:8} {scene:9} first frame {ms:7.1f} ms ({cpu:6.1f} ms of processor time), resident "
                  f"{mib:6.1f} MiB (runs: {', '.join(f'{run[0]:.0f}' for run in results[(name, scene)])} ms)")
        beyond = [medians["large"][k] - medians["courtyard"][k] for k in range(3)]
        print(f"{name:8} large beyond courtyard: {beyond[0]:.1f} ms ({beyond[1]:.1f} ms of processor time), "
              f"{beyond[2]:.1f} MiB")

if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--baseline")
    parser.add_argument("build", nargs="?", default=os.path.join(ROOT, "build", "linux"))
    args = parser.parse_args()
    sys.exit(main(lambda: body(os.path.abspath(args.build), args.baseline)))
