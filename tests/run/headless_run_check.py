#!/usr/bin/env python3
"""Runs scripts/run as on a server without a display, then checks what it reported and saved: exit
code 0, at least three screenshots at absolute paths, each showing a textured, lit scene (many
distinct colours, a fair share of the screen lit, texture detail across much of what is lit).

usage: headless_run_check.py SCREENSHOT_DIR [--windows]   (exit 77 when that program is not built)"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))

from harness import ROOT, Native, Picture, Windows, check, main, no_display_env, skip_unless_built  # noqa: E402


def body(shots, mode):
    env = dict(no_display_env(), VELLMORA_RUN_PREBUILT="1", VELLMORA_RUN_SCREENSHOTS=shots)
    result = subprocess.run([os.path.join(ROOT, "scripts", "run"), *mode], env=env, capture_output=True, text=True,
                            timeout=300)
    print(result.stdout + result.stderr, end="")
    check(result.returncode == 0, f"scripts/run ended with status {result.returncode}")
    lines = result.stdout.splitlines()
    check("exit code: 0" in lines, "scripts/run did not report the viewer's exit code 0")
    files = [line[len("screenshot: "):] for line in lines if line.startswith("screenshot: ")]
    check(len(files) >= 3, f"expected at least three screenshots, found {len(files)}")
    for path in files:
        check(os.path.isabs(path) and os.path.isfile(path), f"not a screenshot at an absolute path: {path}")
        shows, figures = Picture.load(path).textured_scene()
        print(f"{path}: {figures}")
        check(shows, f"{path} is blank or shows no textures")


if __name__ == "__main__":
    shots, mode = os.path.abspath(sys.argv[1]), sys.argv[2:]
    skip_unless_built(*(Windows() if mode == ["--windows"] else Native(os.environ.get("VELLMORA_RUN_PROGRAM"))).files())
    sys.exit(main(lambda: body(shots, mode)))
