"""What the end-to-end tests share: a virtual screen with screenshots, keys and mouse; a Wine
prefix and a way to run the Windows program in it and read its whole exit code; maps and images
written by the test."""

import ctypes
import math
import os
import shutil
import struct
import subprocess
import tempfile
import time


class Failure(Exception):
    """A check of an end-to-end test did not hold."""


def check(condition, message):
    if not condition:
        raise Failure(message)


class Picture:
    """A screenshot: rows of (r, g, b)."""

    def __init__(self, width, height, rgb):
        self.width = width
        self.height = height
        self.rgb = rgb

    def pixel(self, x, y):
        i = 3 * (int(y) * self.width + int(x))
        return tuple(self.rgb[i:i + 3])

    def span(self, y, colour, tolerance):
        """The first and last x on row y whose colour is within tolerance of colour, or None."""
        xs = [x for x in range(self.width) if close(self.pixel(x, y), colour, tolerance)]
        return (xs[0], xs[-1]) if xs else None


def close(measured, expected, tolerance):
    return all(abs(m - e) <= tolerance for m, e in zip(measured, expected))


def parse_ppm(data):
    """Reads a binary PPM (P6, maxval 255) as ImageMagick writes it."""
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    check(fields[0] == b"P6" and fields[3] == b"255", "screenshot is not an 8-bit PPM")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:pos + 1 + 3 * width * height]
    return Picture(width, height, pixels)


class CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


class Screen:
    """An Xvfb screen on the first free display from first to first + 4."""

    def __init__(self, width=800, height=600, first=None):
        self.width = width
        self.height = height
        self.first = int(first if first is not None else os.environ.get("VELLMORA_E2E_DISPLAY", "91"))
        self.process = None
        self.display = None

    def __enter__(self):
        for number in range(self.first, self.first + 5):
            if os.path.exists(f"/tmp/.X{number}-lock"):
                continue
            process = subprocess.Popen(
                ["Xvfb", f":{number}", "-screen", "0", f"{self.width}x{self.height}x24", "-nolisten", "tcp", "-noreset",
                 # A white root: any part of the screen a window leaves uncovered shows.
                 "-wr"],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
            deadline = time.time() + 30
            while time.time() < deadline and process.poll() is None:
                if os.path.exists(f"/tmp/.X11-unix/X{number}"):
                    self.process = process
                    self.display = f":{number}"
                    return self
                time.sleep(0.05)
            process.kill()
            process.wait()
        raise Failure(f"no free X display from :{self.first} to :{self.first + 4}")

    def __exit__(self, *exc):
        self.process.terminate()
        self.process.wait()

    def env(self):
        return dict(os.environ, DISPLAY=self.display)

    def shot(self):
        data = subprocess.run(["import", "-display", self.display, "-window", "root", "-depth", "8", "ppm:-"],
                              check=True, capture_output=True).stdout
        return parse_ppm(data)

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env(), check=True, capture_output=True,
                              text=True).stdout

    def tap(self, key, seconds=0.03):
        """A short press: with no vertical retrace to wait for, frames come fast and a held key
        moves far."""
        self.xdotool("keydown", key, "sleep", str(seconds), "keyup", key)

    def move_pointer(self, x, y):
        self.xdotool("mousemove", str(x), str(y))

    def focus(self, title):
        """Gives the keyboard to the window of that title: with no window manager nobody else does.
        Tries for a while, as the window may not be mapped yet."""
        deadline = time.time() + 10
        while True:
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$", "windowfocus"],
                                   env=self.env(), capture_output=True)
            if found.returncode == 0:
                return
            check(time.time() < deadline, f"no visible window titled {title}")
            time.sleep(0.2)

    def pointer(self):
        fields = dict(line.split("=", 1) for line in self.xdotool("getmouselocation", "--shell").split())
        return int(fields["X"]), int(fields["Y"])

    def cursor_shows(self):
        """Whether the pointer's current image has any visible pixel (through XFixes, which Wine
        itself depends on). A hidden pointer is an image with nothing in it."""
        x11 = ctypes.CDLL("libX11.so.6")
        xfixes = ctypes.CDLL("libXfixes.so.3")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        x11.XFree.argtypes = [ctypes.c_void_p]
        xfixes.XFixesQueryExtension.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                                ctypes.POINTER(ctypes.c_int)]
        xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(CursorImage)
        xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
        display = x11.XOpenDisplay(self.display.encode())
        check(display, f"cannot open display {self.display}")
        try:
            event, error = ctypes.c_int(), ctypes.c_int()
            check(xfixes.XFixesQueryExtension(display, ctypes.byref(event), ctypes.byref(error)),
                  "the X server has no XFixes")
            image = xfixes.XFixesGetCursorImage(display)
            check(bool(image), "XFixes gave no pointer image")
            size = image.contents.width * image.contents.height
            shows = any(image.contents.pixels[i] >> 24 for i in range(size))
            x11.XFree(image)
            return shows
        finally:
            x11.XCloseDisplay(display)

    def wait_for(self, predicate, seconds=20):
        """Takes screenshots until predicate(picture) holds; returns that picture."""
        deadline = time.time() + seconds
        while True:
            picture = self.shot()
            if predicate(picture):
                return picture
            if time.time() > deadline:
                return None
            time.sleep(0.2)


class Wine:
    """A Wine prefix in which the Windows build's programs run."""

    def __init__(self, prefix, windows_build):
        self.prefix = os.path.abspath(prefix)
        self.windows_build = os.path.abspath(windows_build)

    def env(self, screen=None):
        env = dict(os.environ, WINEPREFIX=self.prefix, WINEARCH="win64", WINEDEBUG="-all",
                   # No Mono or Gecko installer dialogs on a screen nobody watches.
                   WINEDLLOVERRIDES="mscoree,mshtml=")
        if screen is not None:
            env["DISPLAY"] = screen.display
        return env

    def prepare(self, screen):
        """A fresh prefix on a display scaled to 150 %, where a program that is not DPI aware would
        be handed a smaller screen to stretch."""
        shutil.rmtree(self.prefix, ignore_errors=True)
        subprocess.run(["wineboot", "-i"], env=self.env(screen), check=True, capture_output=True, timeout=240)
        subprocess.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t",
                        "REG_DWORD", "/d", "144", "/f"], env=self.env(screen), check=True, capture_output=True)
        self.wait_server()

    def wait_server(self):
        subprocess.run(["wineserver", "-w"], env=self.env(), check=True, timeout=120)

    def stop_server(self):
        subprocess.run(["wineserver", "-k"], env=self.env(), capture_output=True)
        self.wait_server()

    def program(self, name):
        return os.path.join(self.windows_build, name)

    def start(self, folder, screen, timeout_seconds=60):
        """Starts vellmora.exe through the launcher, in folder; returns a Run."""
        target = "Z:" + self.program("vellmora.exe").replace("/", "\\")
        process = subprocess.Popen(
            ["wine", self.program("vellmora_launch.exe"), target, str(timeout_seconds * 1000)],
            cwd=folder, env=self.env(screen), stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        return Run(process, self)


class Run:
    """A running vellmora.exe; finish() gives its whole 32-bit exit code and its stderr."""

    def __init__(self, process, wine):
        self.process = process
        self.wine = wine

    def finish(self, seconds=30):
        try:
            out, err = self.process.communicate(timeout=seconds)
        except subprocess.TimeoutExpired:
            # The program holds the launcher's output pipes: end every process of the prefix.
            self.wine.stop_server()
            self.process.communicate()
            raise Failure(f"the program did not end within {seconds} s")
        for line in out.splitlines():
            if line.startswith("exit code 0x"):
                return int(line.split()[-1], 16), err
        raise Failure(f"the launcher reported no exit code: {out!r} {err!r}")


def write_bmp(path, width, height, rgb):
    """A 24-bit BMP of one colour."""
    row = bytes((rgb[2], rgb[1], rgb[0])) * width
    row += b"\0" * ((4 - len(row) % 4) % 4)
    data = row * height
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


class Mesh:
    """Triangles and vertices for a map file, built shape by shape."""

    def __init__(self):
        self.triangles = []
        self.vertices = []

    def add_square(self, centre, half, texture, turn_degrees=0.0):
        """A square facing the camera at the start (normal towards -z), turned about its vertical
        axis by turn_degrees; its corners run clockwise on screen, so it is drawn."""
        angle = math.radians(turn_degrees)
        base = len(self.vertices)
        for (x, y, u, v) in ((-half, -half, 0, 1), (-half, half, 0, 0), (half, half, 1, 0), (half, -half, 1, 1)):
            self.vertices.append((centre[0] + x * math.cos(angle), centre[1] + y,
                                  centre[2] + x * math.sin(angle), u, v))
        self.triangles.append((base, base + 1, base + 2, texture))
        self.triangles.append((base, base + 2, base + 3, texture))

    def add_triangle(self, corners, texture):
        base = len(self.vertices)
        for (x, y, z) in corners:
            self.vertices.append((x, y, z, 0.5, 0.5))
        self.triangles.append((base, base + 1, base + 2, texture))


def write_map(path, start, mesh, texture_names):
    lines = ["%g %g %g" % start, str(len(mesh.triangles))]
    lines += ["%d %d %d %d" % t for t in mesh.triangles]
    lines.append(str(len(mesh.vertices)))
    lines += ["%.6f %.6f %.6f %g %g" % v for v in mesh.vertices]
    lines.append(str(len(texture_names)))
    lines += ["%" + name + "%" for name in texture_names]
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def project(screen, point, fov=math.pi / 4):
    """Where a point in front of a camera at the origin looking along +z lands on the screen."""
    focal = (screen.height / 2) / math.tan(fov / 2)
    x, y, z = point
    return screen.width / 2 + x / z * focal, screen.height / 2 - y / z * focal


def scratch_folder():
    return tempfile.mkdtemp(prefix="vellmora_e2e_")
