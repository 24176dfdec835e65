#!/usr/bin/env python3
"""Checks what vellmora.exe is made of: a GUI program importing only system DLLs (the GCC runtimes
and D3DX are not among them), with a manifest that declares per-monitor DPI awareness.

usage: check_windows_program.py WINDOWS_BUILD_DIR   (exit 77 when the program is not built)"""

import os
import re
import subprocess
import sys

ALLOWED_IMPORTS = {"d3d9.dll", "user32.dll", "kernel32.dll", "gdi32.dll", "msvcrt.dll"}


def main():
    exe = os.path.join(sys.argv[1], "vellmora.exe")
    if not os.path.exists(exe):
        print(f"skipped: {exe} is not built (windows preset)")
        return 77
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", exe], check=True, capture_output=True,
                          text=True).stdout
    problems = []
    imports = {name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)}
    print(f"imports: {', '.join(sorted(imports))}")
    if not imports <= ALLOWED_IMPORTS:
        problems.append(f"imports beyond the system DLLs: {sorted(imports - ALLOWED_IMPORTS)}")
    if not re.search(r"Subsystem\s+00000002\s+\(Windows GUI\)", dump):
        problems.append("not a GUI-subsystem program")
    # The resource directory: type RT_MANIFEST (24), id 1 (the process's own manifest).
    if not re.search(r"Type Table:.*\n\s*\d+\s+Entry: ID: 0x000018,.*\n.*Name Table:.*\n\s*\d+\s+Entry: ID: 0x000001,",
                     dump):
        problems.append("no manifest resource of id 1")
    with open(exe, "rb") as f:
        body = f.read()
    for needed in (b">true/pm</dpiAware>", b">PerMonitorV2, PerMonitor</dpiAwareness>"):
        if needed not in body:
            problems.append(f"the manifest lacks {needed.decode()}")
    for problem in problems:
        print(f"FAILED: {problem}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
