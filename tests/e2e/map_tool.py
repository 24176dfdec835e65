#!/usr/bin/env python3
"""vellmora-map end to end: a textured OBJ with its .mtl and a glTF binary with an embedded image,
both written here, are imported, checked and shown by the native viewer; a map exported as glTF
and imported again gives back the same map; a watched import follows the OBJ, its .mtl and its image.

usage: map_tool.py LINUX_BUILD_DIR
Exit status 0 when every check holds, 1 when one fails, 77 when the programs are not built."""

import glob
import json
import os
import shutil
import struct
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))

from harness import Native, Picture, Screen, check, close, lit, main, scratch_folder, skip_unless_built  # noqa: E402

ORANGE = (200, 100, 40)
BLUE = (40, 80, 200)

# A square facing +z, the viewer of a right-handed model, counter-clockwise seen from there.
SQUARE = [(-1, -1, 0, 0, 0), (1, -1, 0, 1, 0), (1, 1, 0, 1, 1), (-1, 1, 0, 0, 1)]
FACES = [(0, 1, 2), (0, 2, 3)]


def write_mtl(folder, image):
    with open(os.path.join(folder, "square.mtl"), "w") as f:
        f.write(f"newmtl painted\nKd 1 1 1\nmap_Kd {image}\n")


def write_obj(folder, image, half=1):
    write_mtl(folder, image)
    with open(os.path.join(folder, "square.obj"), "w") as f:
        f.write("mtllib square.mtl\nusemtl painted\n")
        f.writelines(f"v {x * half} {y * half} {z}\n" for x, y, z, _, _ in SQUARE)
        f.writelines(f"vt {u} {v}\n" for _, _, _, u, v in SQUARE)
        f.writelines("f " + " ".join(f"{i + 1}/{i + 1}" for i in face) + "\n" for face in FACES)


def write_glb(path, png):
    """One mesh of the square, its base colour an image stored in the file's own buffer."""
    positions = b"".join(struct.pack("<3f", x, y, z) for x, y, z, _, _ in SQUARE)
    uvs = b"".join(struct.pack("<2f", u, 1 - v) for _, _, _, u, v in SQUARE)  # glTF's v runs down
    indices = b"".join(struct.pack("<3H", *face) for face in FACES)
    image = png + b"\0" * (-len(png) % 4)
    binary = positions + uvs + indices + image
    views = [(0, len(positions)), (len(positions), len(uvs)), (len(positions) + len(uvs), len(indices)),
             (len(positions) + len(uvs) + len(indices), len(png))]
    document = {
        "asset": {"version": "2.0"}, "scene": 0, "scenes": [{"nodes": [0]}], "nodes": [{"mesh": 0}],
        "meshes": [{"primitives": [{"attributes": {"POSITION": 0, "TEXCOORD_0": 1}, "indices": 2, "material": 0}]}],
        "materials": [{"pbrMetallicRoughness": {"baseColorTexture": {"index": 0}}}],
        "textures": [{"source": 0}], "images": [{"bufferView": 3, "mimeType": "image/png"}],
        "buffers": [{"byteLength": len(binary)}],
        "bufferViews": [{"buffer": 0, "byteOffset": offset, "byteLength": length} for offset, length in views],
        "accessors": [
            {"bufferView": 0, "componentType": 5126, "count": 4, "type": "VEC3", "min": [-1, -1, 0], "max": [1, 1, 0]},
            {"bufferView": 1, "componentType": 5126, "count": 4, "type": "VEC2"},
            {"bufferView": 2, "componentType": 5123, "count": 6, "type": "SCALAR"}]}
    text = json.dumps(document).encode()
    text += b" " * (-len(text) % 4)
    chunks = struct.pack("<I4s", len(text), b"JSON") + text + struct.pack("<I4s", len(binary), b"BIN\0") + binary
    with open(path, "wb") as f:
        f.write(struct.pack("<4sII", b"glTF", 2, 12 + len(chunks)) + chunks)


def read(path, mode="r"):
    with open(path, mode) as f:
        return f.read()


def triangles(path):
    """A map's triangles as their corners' text (exact, as the tool writes shortest floats) and their
    texture's name, each from its first corner in order, sorted: the same scene in any order."""
    with open(path) as f:
        lines = f.read().splitlines()
    count = int(lines[1])
    vertices = lines[2 + count:]
    names = [line.strip("%") for line in vertices[int(vertices[0]) + 2:]]
    result = []
    for line in lines[2:2 + count]:
        *corners, texture = map(int, line.split())
        ring = [vertices[1 + i] for i in corners]
        result.append((min(tuple(ring[k:] + ring[:k]) for k in range(3)), names[texture]))
    return sorted(result)


def within(seconds, condition):
    """The seconds until condition() holds, or None once seconds have passed."""
    started = time.time()
    while not condition():
        if time.time() - started > seconds:
            return None
        time.sleep(0.02)
    return time.time() - started


def watch(mapper, folder):
    """import --watch, started on a half-written model, imports it once whole, follows its geometry,
    keeps the map through a broken model, follows the image and the .mtl, and ends on Ctrl-C."""
    model, map_path = os.path.join(folder, "square.obj"), os.path.join(folder, "watched", "map.txt")
    half_written = read(model)[:60]  # cut before the faces

    def follows(half):
        write_obj(folder, "paint.png", half)
        return within(2, lambda: os.path.exists(map_path) and
                      max(float(corner.split()[0]) for ring, _ in triangles(map_path) for corner in ring) == half)

    def breaks(errors):
        with open(model, "w") as f:
            f.write(half_written)
        return len(run.err_lines(errors)) == errors

    run = mapper.start(folder, os.environ.copy(), args=("import", "--watch", "square.obj", "watched", "--scale", "1"))
    try:
        check(breaks(1) and follows(1) is not None, "a broken first model is not waited for")
        took = follows(2)
        check(took is not None, "the map does not follow the model's geometry")
        print(f"map.txt replaced {took:.2f} s after the model changed")
        kept, broken = read(map_path), breaks(2)
        check(broken and read(map_path) == kept and follows(3) is not None, "a broken model is not waited out")
        Picture.make(4, 4, lambda x, y: BLUE).save(os.path.join(folder, "paint.png"))
        copied = within(2, lambda: read(os.path.join(folder, "watched", "paint.png"), "rb") == read(
            os.path.join(folder, "paint.png"), "rb"))
        write_mtl(folder, "blue.png")
        named = within(2, lambda: triangles(map_path)[0][1] == "blue.png")
        check(copied is not None and named is not None, "the image or the .mtl is not followed")
        code, err = run.interrupt()
        print(f"import --watch: exit {code}\n{run.out}{err}", end="")
        check(code == 0 and len(err.splitlines()) == 2, "Ctrl-C does not end the watch cleanly")
        check(not glob.glob(os.path.join(folder, ".watched.import-*")), "a staging folder is left behind")
    finally:
        if run.running():
            run.stop()


def tool(program, folder, *args):
    run = program.start(folder, os.environ.copy(), args=args)
    code, err = run.finish(120)
    print(f"vellmora-map {' '.join(args)}: exit {code}\n{run.out}{err}", end="")
    return code, run.out


def shows_square(viewer, screen, folder, colour):
    """The square fills the middle of the first frame, its texture lit by the headlight."""
    run = viewer.start(folder, screen.env())
    centre = (screen.width // 2, screen.height // 2)
    expected = lit(colour, 1.0)
    picture = screen.wait_for(lambda p: close(p.pixel(*centre), expected, 4))
    if picture is None:
        run.stop()
    check(picture is not None, f"the imported square is not shown in {colour} at the centre")
    screen.keys("Escape")
    code, err = run.finish()
    check(code == 0 and err == "", f"the viewer ended with {code:#x}: {err}")


def body(build):
    viewer, mapper = Native(os.path.join(build, "vellmora")), Native(os.path.join(build, "vellmora-map"))
    skip_unless_built(viewer.path, mapper.path)
    folder = scratch_folder()
    try:
        Picture.make(4, 4, lambda x, y: ORANGE).save(os.path.join(folder, "paint.png"))
        write_obj(folder, "paint.png")
        Picture.make(4, 4, lambda x, y: BLUE).save(os.path.join(folder, "blue.png"))
        with open(os.path.join(folder, "blue.png"), "rb") as f:
            write_glb(os.path.join(folder, "square.glb"), f.read())
        with Screen() as screen:
            for model, scene, colour in (("square.obj", "from_obj", ORANGE), ("square.glb", "from_glb", BLUE)):
                code, _ = tool(mapper, folder, "import", model, scene)
                check(code == 0, f"importing {model} failed")
                code, _ = tool(mapper, os.path.join(folder, scene), "check")
                check(code == 0, f"the map made from {model} does not check clean")
                shows_square(viewer, screen, os.path.join(folder, scene), colour)

        os.mkdir(os.path.join(folder, "exported"))
        code, _ = tool(mapper, folder, "export", "from_obj/map.txt", "exported/square.glb")
        check(code == 0, "exporting the map failed")
        with open(os.path.join(folder, "from_obj", "map.txt")) as f:
            start = f.readline().split()
        code, _ = tool(mapper, folder, "import", "exported/square.glb", "again", "--scale", "1", "--start", ",".join(start))
        check(code == 0, "importing the exported map failed")
        first, again = (triangles(os.path.join(folder, scene, "map.txt")) for scene in ("from_obj", "again"))
        check(first == again, f"the map exported and imported again differs: {first} against {again}")
        print("the map exported as glTF and imported again has the same triangles, vertices and textures")
        watch(mapper, folder)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(lambda: body(os.path.abspath(sys.argv[1]))))
