#!/usr/bin/env python3
"""Checks what vellmora.exe is made of: a GUI program importing only system DLLs (the GCC runtimes
and D3DX are not among them), with a manifest that declares per-monitor DPI awareness and version
information that reads back the project's version.

usage: check_windows_program.py WINDOWS_BUILD_DIR VERSION   (exit 77 when the program is not built)"""

import os
import re
import subprocess
import sys

ALLOWED_IMPORTS = {"d3d9.dll", "user32.dll", "kernel32.dll", "gdi32.dll", "msvcrt.dll"}


def problems(exe, version):
    """What is wrong with the program at exe, as a list of sentences."""
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", exe], check=True, capture_output=True,
                          text=True).stdout
    found = []
    imports = {name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)}
    print(f"imports: {', '.join(sorted(imports))}")
    if not imports <= ALLOWED_IMPORTS:
        found.append(f"imports beyond the system DLLs: {sorted(imports - ALLOWED_IMPORTS)}")
    if not re.search(r"Subsystem\s+00000002\s+\(Windows GUI\)", dump):
        found.append("not a GUI-subsystem program")
    # The resources, decompiled: the manifest and the version as Explorer's Properties tab reads it.
    resources = subprocess.run(["x86_64-w64-mingw32-windres", "-i", exe, "-O", "rc"], check=True,
                               capture_output=True, text=True).stdout
    # Type RT_MANIFEST (24), id 1: the process's own manifest.
    if not re.search(r"^1 24\b", resources, re.MULTILINE):
        found.append("no manifest resource of id 1")
    with open(exe, "rb") as f:
        body = f.read()
    for needed in (b">true/pm</dpiAware>", b">PerMonitorV2, PerMonitor</dpiAwareness>"):
        if needed not in body:
            found.append(f"the manifest lacks {needed.decode()}")
    numbers = ", ".join(version.split(".") + ["0"])
    for needed in (f"FILEVERSION {numbers}", f"PRODUCTVERSION {numbers}", f'"FileVersion", "{version}"',
                   f'"ProductVersion", "{version}"', '"ProductName", "Vellmora"', '"FileDescription", "Vellmora'):
        if needed not in resources:
            found.append(f"the version information lacks {needed}")
    return found


def main():
    exe = os.path.join(sys.argv[1], "vellmora.exe")
    if not os.path.exists(exe):
        print(f"skipped: {exe} is not built (windows preset)")
        return 77
    found = problems(exe, sys.argv[2])
    for problem in found:
        print(f"FAILED: {problem}")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
