#!/usr/bin/env python3
"""The Windows program's end-to-end scenarios (pictures, controls, start-up failures), run against
the native program on a virtual screen with Mesa's software renderer, with the same checks.

usage: native_scenarios.py SCENARIO --program PATH
Exit status 0 when every check holds, 1 when one fails, 77 when the program is missing."""

import argparse
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

import wine_scenarios  # noqa: E402
from e2e_support import Failure, Screen, scratch_folder  # noqa: E402

# Linux keeps only the low byte of an exit status: E_FAIL ends the native program with 5.
wine_scenarios.E_FAIL = 0x80004005 & 0xFF


class NativeRun:
    """A running native program; finish() gives its exit status and its stderr."""

    def __init__(self, process):
        self.process = process

    def finish(self, seconds=30):
        try:
            _, err = self.process.communicate(timeout=seconds)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.communicate()
            raise Failure(f"the program did not end within {seconds} s")
        return self.process.returncode, err


class Native:
    """Starts the native program the way the scenarios start the Windows one under Wine."""

    def __init__(self, program):
        self.program = os.path.abspath(program)

    def start(self, folder, screen, timeout_seconds=60):
        env = dict(screen.env(), LIBGL_ALWAYS_SOFTWARE="1")
        env.pop("WAYLAND_DISPLAY", None)
        process = subprocess.Popen([self.program], cwd=folder, env=env, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, text=True)
        return NativeRun(process)


SCENARIOS = ("pictures", "controls", "failures")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("scenario", choices=SCENARIOS)
    parser.add_argument("--program", required=True)
    args = parser.parse_args()
    if not os.path.exists(args.program):
        print(f"skipped: {args.program} has not been built")
        return 77
    try:
        with Screen() as screen:
            folder = scratch_folder()
            try:
                getattr(wine_scenarios, args.scenario)(Native(args.program), screen, folder)
            finally:
                shutil.rmtree(folder, ignore_errors=True)
    except Failure as failure:
        print(f"FAILED: {failure}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
