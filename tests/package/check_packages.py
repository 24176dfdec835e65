#!/usr/bin/env python3
"""Makes the release packages of a build tree with CPack, into a fresh folder, and checks them as a
user receives them:
  linux    the .deb: its files, its fields, dependencies that cover each library the program needs,
           no lintian error; the .tar.gz holds the same files; the unpacked (not installed) viewer
           draws the unpacked courtyard.
  windows  the zip: its files; the unpacked program imports only system DLLs and carries the
           version; started under Wine in the unpacked courtyard folder, it draws it.
Each viewer must end with exit code 0 on Escape.

usage: check_packages.py (linux|windows) BUILD_DIR VERSION   (exit 77 when the build has no packages)"""

import glob
import gzip
import os
import re
import subprocess
import sys
import tarfile
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))

import check_windows_program  # noqa: E402
from harness import ROOT, Failure, Native, Screen, Windows, check, main, skip_unless_built  # noqa: E402

COURTYARD = sorted(os.listdir(os.path.join(ROOT, "examples", "courtyard")))


def make_packages(build, folder):
    """The packages the build's `package` target makes, made into folder."""
    result = subprocess.run(["cpack", "--config", os.path.join(build, "CPackConfig.cmake"), "-B", folder],
                            capture_output=True, text=True, timeout=300)
    check(result.returncode == 0, f"cpack failed:\n{result.stdout}{result.stderr}")
    return sorted(os.path.basename(path) for path in glob.glob(os.path.join(folder, "*.*")))


def files_under(folder):
    return sorted(os.path.relpath(os.path.join(top, name), folder)
                  for top, _, names in os.walk(folder) for name in names)


def expect_files(found, expected, what):
    check(found == sorted(expected), f"{what} holds {found}, expected {sorted(expected)}")


def draws_courtyard(program, folder):
    """Starts the viewer in folder on a virtual screen: it must show a lit, textured scene and end
    with exit code 0 on Escape."""
    with Screen(800, 600) as screen:
        run = program.start(folder, screen.env())
        try:
            check(screen.window("Vellmora", run) is not None, "no visible window titled Vellmora")
            picture = screen.wait_for(lambda p: p.textured_scene()[0], seconds=60)
            check(picture is not None, "the viewer showed no lit, textured scene within 60 s")
        except Failure:
            if run.running():
                run.stop()
            else:
                print(run.finish()[1], end="")
            raise
        print(f"{program.path} in {folder}: {picture.textured_scene()[1]}")
        screen.keys("Escape")
        code, err = run.finish()
        check(code == 0, f"the viewer ended with exit code {code:#x}: {err}")


def linux(build, version, folder):
    packages = make_packages(build, folder)
    debs = [name for name in packages if name.endswith(".deb")]
    tarballs = [name for name in packages if name.endswith(".tar.gz")]
    check(len(debs) == 1 and re.fullmatch(rf"vellmora_{re.escape(version)}_\w+\.deb", debs[0]) and
          len(tarballs) == 1 and re.fullmatch(rf"vellmora-{re.escape(version)}-linux-\w+\.tar\.gz", tarballs[0]),
          f"unexpected packages: {packages}")
    deb = os.path.join(folder, debs[0])
    print(subprocess.run(["dpkg-deb", "--info", deb], check=True, capture_output=True, text=True).stdout)

    fields = dict(line.split(": ", 1) for line in subprocess.run(
        ["dpkg-deb", "--field", deb, "Package", "Version", "Depends"], check=True, capture_output=True,
        text=True).stdout.splitlines())
    check(fields["Package"] == "vellmora" and fields["Version"] == version, f"wrong name or version: {fields}")

    unpacked = os.path.join(folder, "deb")
    subprocess.run(["dpkg-deb", "--extract", deb, unpacked], check=True)
    expect_files(files_under(unpacked),
                 ["usr/bin/vellmora", "usr/bin/vellmora-map", "usr/share/man/man1/vellmora.1.gz",
                  "usr/share/man/man1/vellmora-map.1.gz", "usr/share/doc/vellmora/README.md",
                  "usr/share/doc/vellmora/copyright", "usr/share/doc/vellmora/changelog.gz",
                  "usr/share/applications/vellmora.desktop",
                  *(f"usr/share/vellmora/courtyard/{name}" for name in COURTYARD)], "the .deb")
    with open(os.path.join(unpacked, "usr/share/applications/vellmora.desktop")) as f:
        check("\nExec=vellmora /usr/share/vellmora/courtyard\n" in f.read(),
              "the menu entry does not start the viewer on the packaged courtyard")
    for path, text in (("usr/share/doc/vellmora/changelog.gz", f"vellmora ({version})"),
                       ("usr/share/man/man1/vellmora.1.gz", f'"Vellmora {version}"'),
                       ("usr/share/man/man1/vellmora-map.1.gz", f'"Vellmora {version}"')):
        with gzip.open(os.path.join(unpacked, path), "rt") as f:
            check(text in f.read(), f"{path} does not name version {version}")

    # Each library the programs need comes from a package it depends on, and it depends on no other.
    program = os.path.join(unpacked, "usr/bin/vellmora")
    dynamic = "".join(subprocess.run(["readelf", "--dynamic", path], check=True, capture_output=True, text=True).stdout
                      for path in (program, os.path.join(unpacked, "usr/bin/vellmora-map")))
    depends = {entry.split()[0] for entry in fields.get("Depends", "").split(", ") if entry}
    providers = set()
    for library in set(re.findall(r"\(NEEDED\)\s+Shared library: \[(.+)\]", dynamic)):
        owners = subprocess.run(["dpkg", "--search", f"*/{library}"], capture_output=True, text=True).stdout
        # "libc6:amd64, libc6:i386: /lib/x86_64-linux-gnu/libc.so.6"
        found = {owner.split(":")[0] for line in owners.splitlines() for owner in line.rsplit(": ", 1)[0].split(", ")}
        check(found & depends, f"{library} (from {sorted(found)}) is not among the dependencies {sorted(depends)}")
        providers |= found
    check(depends <= providers, f"dependencies no library asks for: {sorted(depends - providers)}")

    with tarfile.open(os.path.join(folder, tarballs[0])) as tarball:
        names = [member.name for member in tarball.getmembers() if member.isfile()]
    top = tarballs[0][:-len(".tar.gz")] + "/"
    expect_files(sorted(top + "usr/" + name[len(top):] for name in names),
                 [top + name for name in files_under(unpacked)], "the .tar.gz (under usr/)")

    lintian = subprocess.run(["lintian", "--tag-display-limit", "0", deb], capture_output=True, text=True)
    tags = [line for line in lintian.stdout.splitlines() if line[:2] in ("E:", "W:")]
    print("lintian: " + ("\n  ".join(["", *tags]) if tags else "no errors or warnings"))
    check(not any(tag.startswith("E:") for tag in tags) and lintian.returncode == 0,
          f"lintian found errors:\n{lintian.stdout}{lintian.stderr}")

    draws_courtyard(Native(program), os.path.join(unpacked, "usr/share/vellmora/courtyard"))
    run = Native(os.path.join(unpacked, "usr/bin/vellmora-map")).start(
        os.path.join(unpacked, "usr/share/vellmora/courtyard"), os.environ.copy(), args=["check"])
    code, err = run.finish()
    check(code == 0 and "1814 triangles" in run.out, f"the packaged vellmora-map checks the courtyard: {code} {err}")


def windows(build, version, folder):
    name = f"vellmora-{version}-windows-x64"
    check(make_packages(build, folder) == [f"{name}.zip"], f"expected only {name}.zip in {os.listdir(folder)}")
    unpacked = os.path.join(folder, "zip")
    with zipfile.ZipFile(os.path.join(folder, f"{name}.zip")) as archive:
        archive.extractall(unpacked)
    expect_files(files_under(unpacked), [f"{name}/{file}" for file in (
        "vellmora.exe", "README.txt", "README.md", *(f"courtyard/{image}" for image in COURTYARD))], "the zip")
    with open(os.path.join(unpacked, name, "README.txt"), "rb") as f:
        readme = f.read()
    check(readme.startswith(f"Vellmora {version}\r\n".encode()) and b"\n" not in readme.replace(b"\r\n", b""),
          "README.txt does not name the version or has other line ends than CR LF")
    exe = os.path.join(unpacked, name, "vellmora.exe")
    problems = check_windows_program.problems(exe, version)
    check(not problems, "; ".join(problems))
    draws_courtyard(Windows(path=exe, build=build), os.path.join(unpacked, name, "courtyard"))


if __name__ == "__main__":
    kind, build, version = sys.argv[1], os.path.abspath(sys.argv[2]), sys.argv[3]
    skip_unless_built(os.path.join(build, "CPackConfig.cmake"),
                      *(Windows(build=build).files() if kind == "windows" else []))
    with tempfile.TemporaryDirectory(prefix="vellmora_packages_") as scratch:
        sys.exit(main(lambda: {"linux": linux, "windows": windows}[kind](build, version, scratch)))
