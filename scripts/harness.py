"""The one harness through which the project runs its programs: virtual screens, the Wine prefix,
the native or the Windows program started in a scene folder with its whole exit code read back,
keys and pointer moves, screenshots and their pixels, and the maps and images scenarios write.

VELLMORA_DISPLAY=:N starts virtual screens at display N (or the next free one after it); without
it Xvfb takes the first free display itself."""

import ctypes
import fcntl
import glob
import json
import math
import os
import pty
import re
import select
import shutil
import signal
import struct
import subprocess
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
E_FAIL = 0x80004005
SKIPPED = 77  # the exit status ctest reads as a skip


class Failure(Exception):
    """A check did not hold."""


def check(condition, message):
    if not condition:
        raise Failure(message)


def main(body):
    """Runs body() as a test program: exit status 0 when it returns, 1 on a Failure."""
    try:
        body()
    except Failure as failure:
        print(f"FAILED: {failure}", flush=True)
        return 1
    return 0


def skip_unless_built(*paths):
    """Ends the test as skipped while any of paths has not been built."""
    missing = [path for path in paths if not os.path.exists(path)]
    if missing:
        print(f"skipped: not built: {', '.join(missing)}")
        raise SystemExit(SKIPPED)


# Where a program draws: a virtual screen, the user's desktop, or nowhere.

def desktop_env():
    return dict(os.environ)


def no_display_env():
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    return env


class Display:
    """What every display of the harness offers besides its own input and screenshots."""

    def wait_for(self, predicate, seconds=20):
        """Takes screenshots until predicate(picture) holds; returns that picture, or None."""
        deadline = time.time() + seconds
        while True:
            picture = self.shot()
            if predicate(picture):
                return picture
            if time.time() > deadline:
                return None
            time.sleep(0.2)


class Screen(Display):
    """An Xvfb screen with a white root, so that any part a window leaves uncovered shows."""

    def __init__(self, width=800, height=600):
        self.width = width
        self.height = height
        self.process = None
        self.display = None

    def __enter__(self):
        base = os.environ.get("VELLMORA_DISPLAY")
        numbers = [None] if not base else [int(base.lstrip(":")) + k for k in range(16)]
        for number in numbers:
            if self._start(number):
                return self
        raise Failure(f"no virtual screen could start (VELLMORA_DISPLAY={base})")

    def _start(self, number):
        read_end, write_end = os.pipe()
        command = ["Xvfb", *([f":{number}"] if number is not None else []), "-screen", "0",
                   f"{self.width}x{self.height}x24", "-nolisten", "tcp", "-wr", "-displayfd", str(write_end),
                   # Otherwise a client connecting while the last one leaves is refused.
                   "-noreset"]
        process = subprocess.Popen(command, pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(write_end)
        # Xvfb writes its display number once it takes connections, and ends if the display is taken.
        text = b""
        deadline = time.time() + 30
        while not text.endswith(b"\n") and time.time() < deadline:
            ready, _, _ = select.select([read_end], [], [], max(0.0, deadline - time.time()))
            chunk = os.read(read_end, 16) if ready else b""
            if ready and not chunk:
                break
            text += chunk
        os.close(read_end)
        if text.strip().isdigit():
            self.process = process
            self.display = f":{text.strip().decode()}"
            return True
        process.kill()
        process.wait()
        return False

    def __exit__(self, *exc):
        self.process.terminate()
        self.process.wait()

    def env(self):
        env = no_display_env()
        env.update(DISPLAY=self.display, LIBGL_ALWAYS_SOFTWARE="1")
        return env

    # Input, through xdotool.

    def xdotool(self, *args, check_status=True):
        result = subprocess.run(["xdotool", *args], env=self.env(), capture_output=True, text=True)
        if check_status and result.returncode != 0:
            raise Failure(f"xdotool {' '.join(args)}: {result.stderr.strip()}")
        return result

    def tap(self, key, seconds=0.03):
        """A short press: with no vertical retrace to wait for, frames come fast and a held key
        moves far."""
        self.xdotool("keydown", key, "sleep", str(seconds), "keyup", key)

    def keys(self, key, repeat=1, delay_ms=40):
        self.xdotool("key", "--delay", str(delay_ms), "--repeat", str(repeat), key)

    def move_pointer(self, x, y):
        self.xdotool("mousemove", str(int(x)), str(int(y)))

    def pointer(self):
        fields = dict(line.split("=", 1) for line in self.xdotool("getmouselocation", "--shell").stdout.split())
        return int(fields["X"]), int(fields["Y"])

    def window(self, title, run=None, seconds=60):
        """Waits for a visible window of that title and gives it the keyboard (with no window
        manager nobody else does); None if run ends first or the time runs out."""
        deadline = time.time() + seconds
        while time.time() < deadline and (run is None or run.running()):
            found = self.xdotool("search", "--onlyvisible", "--name", f"^{title}$", check_status=False)
            if found.returncode == 0 and found.stdout.split():
                window = found.stdout.split()[0]
                self.xdotool("windowfocus", window, check_status=False)
                return window
            time.sleep(0.1)
        return None

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
        xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(_CursorImage)
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

    # Pictures.

    def shot(self):
        data = subprocess.run(["import", "-display", self.display, "-window", "root", "-depth", "8", "ppm:-"],
                              check=True, capture_output=True).stdout
        return Picture.from_ppm(data)



class Wayland(Display):
    """A headless sway compositor with one output, and a virtual pointer and keyboard on its seat
    (the injector program, started first: a seat has no pointer or keyboard until a device exists,
    and a late one makes the first pointer entry turn the camera). sway refuses to run as root, so
    it runs as nobody in a runtime folder of its own; clients running as root reach it there."""

    # evdev key codes of the keys the scenarios press
    KEY_CODES = {"Escape": 1, "Tab": 15, "w": 17, "e": 18, "a": 30, "s": 31, "d": 32, "space": 57}
    NOBODY = 65534

    def __init__(self, injector, width=1280, height=720):
        self.injector_path = injector
        self.width = width
        self.height = height
        self.runtime = None
        self.compositor = None
        self.injector = None
        self.socket = None

    def __enter__(self):
        self.runtime = tempfile.mkdtemp(prefix="vellmora_wayland_")
        config = os.path.join(self.runtime, "config")
        with open(config, "w") as f:
            f.write(f"output HEADLESS-1 resolution {self.width}x{self.height} position 0 0\n"
                    "default_border none\ndefault_floating_border none\nfocus_follows_mouse no\n")
        for path in (self.runtime, config):
            os.chown(path, self.NOBODY, self.NOBODY)
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": self.runtime, "XDG_RUNTIME_DIR": self.runtime,
               "WLR_BACKENDS": "headless", "WLR_RENDERER": "pixman", "WLR_LIBINPUT_NO_DEVICES": "1"}
        self.compositor = subprocess.Popen(
            ["setpriv", f"--reuid={self.NOBODY}", f"--regid={self.NOBODY}", "--clear-groups", "sway", "-c", config],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        deadline = time.time() + 30
        while self.socket is None:
            sockets = [name for name in os.listdir(self.runtime) if name.startswith("wayland-")
                       and not name.endswith(".lock")]
            self.socket = sockets[0] if sockets else None
            if self.socket is None:
                if time.time() > deadline or self.compositor.poll() is not None:
                    self.__exit__()
                    raise Failure("sway did not start")
                time.sleep(0.1)
        self.injector = subprocess.Popen([self.injector_path], env=self.env(), stdin=subprocess.PIPE,
                                         stdout=subprocess.PIPE, text=True)
        check(self.injector.stdout.readline().strip() == "ready", "the input injector did not start")
        return self

    def __exit__(self, *exc):
        if self.injector is not None:
            self.injector.stdin.close()
            self.injector.wait()
        self.compositor.kill()
        self.compositor.wait()
        shutil.rmtree(self.runtime, ignore_errors=True)

    def env(self):
        env = no_display_env()
        env.update(XDG_RUNTIME_DIR=self.runtime, WAYLAND_DISPLAY=self.socket, LIBGL_ALWAYS_SOFTWARE="1")
        return env

    def _inject(self, command):
        self.injector.stdin.write(command + "\n")
        self.injector.stdin.flush()
        check(self.injector.stdout.readline().strip() == "ok", f"the injector did not take: {command}")

    def move(self, dx, dy):
        """A relative pointer motion."""
        self._inject(f"move {dx} {dy}")

    def tap(self, key, seconds=0.03):
        self._inject(f"key {self.KEY_CODES[key]} 1")
        time.sleep(seconds)
        self._inject(f"key {self.KEY_CODES[key]} 0")

    def windows(self):
        """The compositor's views: (name, x, y, width, height, full-screen) each."""
        sockets = glob.glob(os.path.join(self.runtime, "sway-ipc.*.sock"))
        check(sockets, "sway has no IPC socket")
        tree = json.loads(subprocess.run(["swaymsg", "-s", sockets[0], "-t", "get_tree"], capture_output=True,
                                         check=True, text=True).stdout)
        views = []

        def walk(node):
            if node.get("pid"):
                rect = node["rect"]
                views.append((node.get("name"), rect["x"], rect["y"], rect["width"], rect["height"],
                              node.get("fullscreen_mode") == 1))
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child)

        walk(tree)
        return views

    def shot(self):
        data = subprocess.run(["grim", "-t", "ppm", "-"], env=self.env(), check=True, capture_output=True).stdout
        return Picture.from_ppm(data)


class _CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


class Picture:
    """Rows of (r, g, b) bytes, from a screenshot or an image file."""

    def __init__(self, width, height, rgb):
        self.width = width
        self.height = height
        self.rgb = rgb

    @staticmethod
    def from_ppm(data):
        """A binary PPM (P6, maxval 255) as ImageMagick writes it."""
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
        check(fields[0] == b"P6" and fields[3] == b"255", "not an 8-bit PPM")
        width, height = int(fields[1]), int(fields[2])
        return Picture(width, height, data[pos + 1:pos + 1 + 3 * width * height])

    @staticmethod
    def load(path):
        result = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], capture_output=True)
        check(result.returncode == 0, f"cannot read the image {path}")
        return Picture.from_ppm(result.stdout)

    @staticmethod
    def make(width, height, colour_at):
        """A picture whose pixel (x, y) is colour_at(x, y)."""
        return Picture(width, height, bytes(c for y in range(height) for x in range(width) for c in colour_at(x, y)))

    def save(self, path):
        """Saves as 24-bit colour in the format the name's ending gives (BMP, PNG, TGA...)."""
        ppm = b"P6\n%d %d\n255\n" % (self.width, self.height) + bytes(self.rgb)
        kind = {".bmp": "BMP3:", ".png": "PNG24:"}.get(os.path.splitext(path)[1].lower(), "")
        subprocess.run(["convert", "ppm:-", "-type", "TrueColor", kind + path], input=ppm, check=True)

    def pixel(self, x, y):
        i = 3 * (int(y) * self.width + int(x))
        return tuple(self.rgb[i:i + 3])

    def span(self, y, colour, tolerance):
        """The first and last x on row y whose colour is within tolerance of colour, or None."""
        xs = [x for x in range(self.width) if close(self.pixel(x, y), colour, tolerance)]
        return (xs[0], xs[-1]) if xs else None

    def scene_figures(self, lit=24, detail=24):
        """(distinct colours, share of pixels lit, share of the lit ones that differ from their
        right-hand neighbour by detail or more): a black, one-colour or untextured frame scores low."""
        rgb = self.rgb
        pixels = [rgb[i:i + 3] for i in range(0, 3 * self.width * self.height, 3)]
        lit_count = textured = 0
        for y in range(self.height):
            row = pixels[y * self.width:(y + 1) * self.width]
            for x, p in enumerate(row):
                if max(p) <= lit:
                    continue
                lit_count += 1
                if x + 1 < self.width:
                    q = row[x + 1]
                    textured += abs(p[0] - q[0]) + abs(p[1] - q[1]) + abs(p[2] - q[2]) >= detail
        total = self.width * self.height
        return len(set(pixels)), lit_count / total if total else 0.0, textured / lit_count if lit_count else 0.0

    def textured_scene(self):
        """(whether the picture shows a lit, textured scene such as the courtyard: many colours, a
        fair share of the screen lit, texture detail across much of what is lit; its figures)."""
        colours, lit, textured = self.scene_figures()
        shows = colours >= 2000 and lit >= 0.25 and textured >= 0.08
        return shows, f"{colours} colours, {lit:.0%} lit, {textured:.0%} of that textured"

    def difference(self, other, far=16):
        """(mean absolute difference of each of red, green and blue, share of pixels off by more
        than far in any channel) against a picture of the same size."""
        check((self.width, self.height) == (other.width, other.height) and self.width > 0,
              f"sizes differ: {self.width}x{self.height} and {other.width}x{other.height}")
        sums = [0, 0, 0]
        off = 0
        a, b = self.rgb, other.rgb
        for i in range(0, 3 * self.width * self.height, 3):
            d = (abs(a[i] - b[i]), abs(a[i + 1] - b[i + 1]), abs(a[i + 2] - b[i + 2]))
            sums[0] += d[0]
            sums[1] += d[1]
            sums[2] += d[2]
            off += max(d) > far
        total = self.width * self.height
        return [s / total for s in sums], off / total


def close(measured, expected, tolerance):
    return all(abs(m - e) <= tolerance for m, e in zip(measured, expected))


# Maps and images.

class Mesh:
    """Triangles and vertices for a map file, built shape by shape."""

    def __init__(self):
        self.triangles = []
        self.vertices = []

    def add_vertex(self, x, y, z, u=0.5, v=0.5):
        self.vertices.append((x, y, z, u, v))
        return len(self.vertices) - 1

    def add_square(self, centre, half, texture, turn_degrees=0.0):
        """A square facing the camera at the start (normal towards -z), turned about its vertical
        axis by turn_degrees; its corners run clockwise on screen, so it is drawn."""
        angle = math.radians(turn_degrees)
        corners = [self.add_vertex(centre[0] + x * math.cos(angle), centre[1] + y, centre[2] + x * math.sin(angle),
                                   u, v)
                   for (x, y, u, v) in ((-half, -half, 0, 1), (-half, half, 0, 0), (half, half, 1, 0),
                                        (half, -half, 1, 1))]
        self.add_quad(corners, texture)

    def add_quad(self, corners, texture):
        """Two triangles over four vertex indices in drawing order."""
        a, b, c, d = corners
        self.triangles += [(a, b, c, texture), (a, c, d, texture)]

    def add_triangle(self, corners, texture):
        self.triangles.append(tuple(self.add_vertex(*corner) for corner in corners) + (texture,))


def write_map(path, start, mesh, texture_names):
    lines = ["%g %g %g" % tuple(start), str(len(mesh.triangles))]
    lines += ["%d %d %d %d" % t for t in mesh.triangles]
    lines.append(str(len(mesh.vertices)))
    lines += ["%.6f %.6f %.6f %g %g" % v for v in mesh.vertices]
    lines.append(str(len(texture_names)))
    lines += ["%" + name + "%" for name in texture_names]
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def write_image(path, width, height, colour):
    """An image of one colour, or of colour(x, y) where colour is a function."""
    Picture.make(width, height, colour if callable(colour) else lambda x, y: colour).save(path)


def write_dds(path, width, height, colour, layout):
    """A DDS of one colour: "DXT1" or "DXT5" blocks (the colour as 5:6:5, opaque) or "A8R8G8B8"."""
    if layout == "A8R8G8B8":
        pixel_format, data = (0x41, b"\0" * 4, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000), bytes(
            (colour[2], colour[1], colour[0], 255)) * (width * height)
    else:
        r, g, b = colour
        packed = ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)
        block = struct.pack("<HHI", packed, packed, 0)  # both end points the colour, every index 0
        if layout == "DXT5":
            block = b"\xff\xff" + b"\0" * 6 + block
        pixel_format, data = (4, layout.encode(), 0, 0, 0, 0, 0), block * (((width + 3) // 4) * ((height + 3) // 4))
    header = struct.pack("<4s7I44x2I4s5I2I12x", b"DDS ", 124, 0x1007, height, width, 0, 0, 0, 32,
                         *pixel_format, 0x1000, 0)
    with open(path, "wb") as f:
        f.write(header + data)


def dxt_colour(colour):
    """The colour as a DXT block's 5:6:5 end point gives it back."""
    r, g, b = colour[0] >> 3, colour[1] >> 2, colour[2] >> 3
    return ((r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2))


def write_pfm(path, width, height, light):
    """A colour PFM of one light (three floats, 1 = full), little-endian, rows bottom to top."""
    with open(path, "wb") as f:
        f.write(b"PF\n%d %d\n-1.0\n" % (width, height) + struct.pack("<3f", *light) * (width * height))


def pfm_colour(light):
    """The 8-bit colour a PFM's light becomes: clamped, then gamma 1/2.2 as stb_image does for HDR."""
    return tuple(int(min(1.0, max(0.0, v)) ** (1 / 2.2) * 255 + 0.5) for v in light)


def scratch_folder():
    return tempfile.mkdtemp(prefix="vellmora_scene_")


AMBIENT = 0x40 / 255


def lit(colour, diffuse):
    """The colour a texel takes under the dark grey ambient and the headlight at this strength."""
    return tuple(min(255.0, c * min(1.0, AMBIENT + diffuse)) for c in colour)


def project(screen, point, fov=math.pi / 4):
    """Where a point in front of a camera at the origin looking along +z lands on the screen."""
    focal = (screen.height / 2) / math.tan(fov / 2)
    x, y, z = point
    return screen.width / 2 + x / z * focal, screen.height / 2 - y / z * focal


# The programs.

def memory_kib(pid, field="VmRSS"):
    """A process's memory figure from /proc: VmRSS resident now, VmHWM the most it has been."""
    with open(f"/proc/{pid}/status") as f:
        return next(int(line.split()[1]) for line in f if line.startswith(field + ":"))


class Run:
    """A started program: finish() gives its exit code and its stderr, and keeps its output."""

    def __init__(self, process, program):
        self.process = process
        self.program = program
        self.out = None
        self.err_read = b""  # what err_lines has read so far

    def running(self):
        return self.process.poll() is None

    def finish(self, seconds=30):
        try:
            out, err = self.process.communicate(timeout=seconds)
        except subprocess.TimeoutExpired:
            self.stop()
            raise Failure(f"the program did not end within {seconds} s")
        self.out = out
        err = self.err_read.decode(errors="replace") + err
        return self.program.exit_code(self.process.returncode, out, err), err

    def err_lines(self, count, seconds=10):
        """Reads stderr as the program writes it until it holds count lines; gives them (fewer when
        the time runs out). finish() gives them again."""
        fd = self.process.stderr.fileno()
        deadline = time.time() + seconds
        while self.err_read.count(b"\n") < count and time.time() < deadline:
            ready, _, _ = select.select([fd], [], [], max(0.0, deadline - time.time()))
            chunk = os.read(fd, 4096) if ready else b""
            if ready and not chunk:
                break
            self.err_read += chunk
        return self.err_read.decode(errors="replace").splitlines()

    def interrupt(self, seconds=10):
        """Ctrl-C (SIGINT) to the program itself, then finish()."""
        os.kill(self.program.pid(self), signal.SIGINT)
        return self.finish(seconds)

    def stop(self):
        self.program.stop(self)
        self.process.communicate()

    def peak_memory_mib(self):
        """The most resident memory the program's own process has held so far."""
        return memory_kib(self.program.pid(self), "VmHWM") / 1024

    def pause(self, paused=True):
        """Stops the program's own process where it stands (SIGSTOP), or lets it go on."""
        os.kill(self.program.pid(self), signal.SIGSTOP if paused else signal.SIGCONT)


class Native:
    """The native program, or another native program of the project."""

    failure_code = E_FAIL & 0xFF  # Linux keeps only the low byte of an exit status

    def __init__(self, path=None):
        self.path = os.path.abspath(path or os.path.join(ROOT, "build", "linux", "vellmora"))

    def files(self):
        return [self.path]

    def start(self, folder, env, timeout_seconds=60, args=()):
        del timeout_seconds  # a native run ends through Run.finish's own limit
        process = subprocess.Popen([self.path, *args], cwd=folder, env=env, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, text=True)
        return Run(process, self)

    def exit_code(self, status, out, err):
        del out, err
        return status

    def stop(self, run):
        run.process.kill()

    def pid(self, run):
        return run.process.pid


def windows_path(path):
    """A Linux path as a Windows program under Wine reaches it: on drive Z:, the root."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Windows:
    """A Windows program of the build, run under Wine through the launcher that reports its whole
    32-bit exit code (a Unix shell sees only the low byte). One Wine prefix per build tree.
    dll_overrides are WINEDLLOVERRIDES entries of the caller's, such as "d3d9=n,b"."""

    failure_code = E_FAIL

    def __init__(self, path=None, build=None, dll_overrides=""):
        self.dll_overrides = dll_overrides
        self.build = os.path.abspath(build or os.path.join(ROOT, "build", "windows"))
        self.path = os.path.abspath(path or os.path.join(self.build, "vellmora.exe"))
        self.launcher = os.path.join(self.build, "vellmora_launch.exe")
        self.prefix = os.path.join(self.build, "wine")

    def files(self):
        return [self.path, self.launcher]

    def wine_env(self, env):
        # No Mono or Gecko installer dialogs on a screen nobody watches.
        overrides = ";".join(filter(None, ["mscoree,mshtml=", self.dll_overrides]))
        return dict(env, WINEPREFIX=self.prefix, WINEARCH="win64", WINEDEBUG="-all", WINEDLLOVERRIDES=overrides)

    def prepare(self):
        """Makes the prefix once and keeps it: a display scaled to 150 %, where a program that is
        not DPI aware would be handed a smaller screen to stretch."""
        ready = os.path.join(self.prefix, "vellmora-ready")
        with open(self.prefix + ".lock", "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            if os.path.exists(ready):
                return
            print(f"preparing the Wine prefix {self.prefix}", flush=True)
            shutil.rmtree(self.prefix, ignore_errors=True)
            env = self.wine_env(no_display_env())
            subprocess.run(["wineboot", "-i"], env=env, check=True, capture_output=True, timeout=300)
            subprocess.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t",
                            "REG_DWORD", "/d", "144", "/f"], env=env, check=True, capture_output=True, timeout=120)
            # Until the server is done, the first Direct3D program falls back to GDI and fails.
            self.wait_server()
            open(ready, "w").close()

    def wait_server(self):
        subprocess.run(["wineserver", "-w"], env=self.wine_env(os.environ), check=True, timeout=120)

    def stop_server(self):
        subprocess.run(["wineserver", "-k"], env=self.wine_env(os.environ), capture_output=True)
        self.wait_server()

    def start(self, folder, env, timeout_seconds=60, args=()):
        """args reach the program's command line quoted as Windows quotes them; Linux paths among
        them are the caller's to write as Windows paths (windows_path)."""
        self.prepare()
        command = ["wine", self.launcher, windows_path(self.path), str(timeout_seconds * 1000)]
        if args:
            command += ["--arguments", subprocess.list2cmdline(args)]
        process = subprocess.Popen(command, cwd=folder, env=self.wine_env(env), stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, text=True)
        return Run(process, self)

    def run_in_console(self, folder, env, seconds=60, args=()):
        """Runs the program to its end from a console, with no standard handles of its own, as a
        GUI program started from a Command Prompt has none. Wine's console is a pseudo-terminal
        here, and its debugstr channel shows what the program passes to OutputDebugStringA. Gives
        the exit code and the console's text: the launcher's, the program's and Wine's lines."""
        self.prepare()
        # A dumb terminal keeps Wine's console from drawing the text with cursor movements.
        env = dict(self.wine_env(env), WINEDEBUG="warn+debugstr", TERM="dumb")
        target = windows_path(self.path)
        pid, terminal = pty.fork()
        if pid == 0:
            os.chdir(folder)
            command = ["wine", self.launcher, target, str(seconds * 1000), "--no-std-handles"]
            os.execvpe("wine", command + (["--arguments", subprocess.list2cmdline(args)] if args else []), env)
        text = b""
        deadline = time.time() + seconds + 30
        while time.time() < deadline:
            ready, _, _ = select.select([terminal], [], [], max(0.0, deadline - time.time()))
            try:
                chunk = os.read(terminal, 4096) if ready else b""
            except OSError:  # the terminal closes when the launcher ends
                break
            if not chunk:
                break
            text += chunk
        os.close(terminal)
        if time.time() >= deadline:
            os.kill(pid, signal.SIGKILL)
        os.waitpid(pid, 0)
        # Cursor moves to the right stand for blanks; other control sequences mean nothing here.
        text = re.sub(r"\x1b\[(\d*)C", lambda m: " " * int(m.group(1) or 1), text.decode(errors="replace"))
        text = re.sub(r"\x1b\[[0-9;?]*[A-Za-z]", "", text).replace("\r", "")
        return self.exit_code(None, text, ""), text

    def run_tool(self, name, folder, env, seconds=120):
        """Runs another program of the build to its end; gives the finished process."""
        self.prepare()
        return subprocess.run(["wine", os.path.join(self.build, name)], cwd=folder, env=self.wine_env(env),
                              capture_output=True, text=True, timeout=seconds)

    def exit_code(self, status, out, err):
        for line in out.splitlines():
            if line.startswith("exit code 0x"):
                return int(line.split()[-1], 16)
        raise Failure(f"the launcher reported no exit code (status {status}): {out!r} {err!r}")

    def stop(self, run):
        del run
        self.stop_server()

    def pid(self, run):
        """The program's own process under the launcher: Wine names it after the file."""
        name = os.path.basename(self.path)[:15]
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open(f"/proc/{entry}/comm") as f:
                    comm = f.read().strip()
                with open(f"/proc/{entry}/environ", "rb") as f:
                    environ = f.read().split(b"\0")
            except OSError:
                continue
            if comm == name and f"WINEPREFIX={self.prefix}".encode() in environ:
                return int(entry)
        raise Failure(f"{name} is not running under {self.prefix} (launcher {run.process.pid})")


def run_beside_test_d3d9(build, body):
    """The test body(program, folder) on a copy of the Windows program in a scratch folder beside the
    test d3d9.dll (tests/e2e/windows/lost_device_d3d9.cpp), which Wine then loads in place of its own.
    Skipped while either is not built; the exit status as main gives it."""
    build = os.path.abspath(build)
    proxy = os.path.join(build, "lost_device", "d3d9.dll")
    skip_unless_built(*Windows(build=build).files(), proxy)

    def run():
        folder = scratch_folder()
        try:
            shutil.copy(os.path.join(build, "vellmora.exe"), folder)
            shutil.copy(proxy, folder)
            program = Windows(path=os.path.join(folder, "vellmora.exe"), build=build, dll_overrides="d3d9=n,b")
            try:
                body(program, folder)
            finally:
                program.stop_server()
        finally:
            shutil.rmtree(folder, ignore_errors=True)

    return main(run)
