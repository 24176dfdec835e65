// The map reader: the whole file is read at once and converted in place, number by number, in the
// order the format gives. Anything that would leave the scene partly unread, out of range or
// unsafe is refused with one line on stderr instead.
//
// Each rule of the text is written once:
// - white space, line ends and line counting, the sign, base prefixes and what may follow a number:
//   scene/map_rules.h, used by every tier below;
// - the conversions ("%i" and "%f" results, fast paths for plain decimals): scene/number_parse.h;
// - long lists read 64 bytes at a time, falling back on the lone-number reader: scene/number_list.h;
// - lone numbers, finite floats, text-mode characters, the byte-order mark: scene/map_text.cpp;
// - the 11 characters before a name's '%' and the name's length: ReadName below.
//
// A large map is read on more threads: its vertex list on two (scene/vertex_list.h), and its
// geometry ahead, while the window and the device are made (StartReadingMap below).
#include "scene/map_loader.h"

#include <algorithm>
#include <new>
#include <string>
#include <system_error>
#include <thread>

#include "platform/file_lookup.h"
#include "platform/file_view.h"
#include "platform/report.h"
#include "platform/texture_cache.h"
#include "scene/map_text.h"
#include "scene/number_list.h"
#include "scene/vertex_list.h"

namespace {

// The line of the ordinal-th number after `from`, found again only when a value is refused.
int LineOfNumber(MapText from, std::size_t ordinal) {
    for (std::size_t i = 0;; ++i) {
        SkipSpace(from);
        if (i == ordinal) return from.line;
        while (from.p < from.end && !IsMapSpace(*from.p)) ++from.p;
    }
}

// The first element outside 0 ... limit - 1; there is one (the reader saw the largest number).
template <typename Element, typename Number>
std::size_t FirstOutOfRange(const Element* elements, std::int32_t limit, Number number) {
    std::size_t i = 0;
    while (static_cast<std::uint32_t>(number(elements[i])) < static_cast<std::uint32_t>(limit)) ++i;
    return i;
}

// Negative numbers count as the largest unsigned ones, so one comparison with the largest number
// read checks them all; the list is searched again only to report the first that is out of range.
bool CheckVertexIndices(const MapText& triangles, const SceneData& scene, std::uint32_t largest) {
    if (scene.indexCount == 0 || largest < static_cast<std::uint32_t>(scene.vertexCount)) return true;
    const std::size_t i =
        FirstOutOfRange(scene.indices.data(), scene.vertexCount, [](std::int32_t index) { return index; });
    const std::int32_t index = scene.indices[i];
    const std::size_t ordinal = i / 3 * 4 + i % 3;
    ReportAt(triangles, LineOfNumber(triangles, ordinal),
             "vertex index " + std::to_string(index) + " is outside 0 to " +
                 std::to_string(scene.vertexCount - 1) + " (the map has " +
                 std::to_string(scene.vertexCount) + " vertices)");
    return false;
}

bool CheckTextureNumbers(const MapText& triangles, const SceneData& scene, std::uint32_t largest) {
    if (scene.triangleCount == 0 || largest < static_cast<std::uint32_t>(scene.textureCount)) return true;
    const std::size_t t = FirstOutOfRange(scene.faces.data(), scene.textureCount,
                                          [](const FaceRecord& face) { return face.textureIndex; });
    const std::string texture = "texture number " + std::to_string(scene.faces[t].textureIndex);
    ReportAt(triangles, LineOfNumber(triangles, t * 4 + 3),
             scene.textureCount == 0
                 ? texture + " is given, but the map names no textures"
                 : texture + " is outside 0 to " + std::to_string(scene.textureCount - 1) + " (the map has " +
                       std::to_string(scene.textureCount) + " textures)");
    return false;
}

// At most kMaxSkipBeforeName characters may come before the opening '%'; the name runs to the
// closing '%' (or a zero byte) and must fit the name buffer.
bool ReadName(MapText& text, std::int32_t k, std::string& name, int& nameLine) {
    const std::string which = "texture name " + std::to_string(k + 1);
    const char* skipStart = text.p;
    int skipLine = text.line;
    bool seenVisible = false;
    for (int skipped = 0;; ++skipped) {
        const int c = NextChar(text);
        if (c == '%') break;
        if (c == -1) {
            ReportAt(text, text.line, "expected '%' to open " + which + ", found end of file");
            return false;
        }
        if (!seenVisible && !IsMapSpace(static_cast<char>(c))) {
            seenVisible = true;
            skipLine = text.line;
        }
        if (skipped == kMaxSkipBeforeName) {
            ReportAt(text, skipLine,
                     "expected '%' to open " + which + " within " + std::to_string(kMaxSkipBeforeName) +
                         " characters, found " + Quote(skipStart, text.p));
            return false;
        }
    }
    nameLine = text.line;
    name.clear();
    for (;;) {
        const int c = NextChar(text);
        if (c == -1) {
            ReportAt(text, nameLine, which + " has no closing '%' before the end of the file");
            return false;
        }
        if (c == '%' || c == 0) return true;
        if (name.size() == kNameBufferSize - 1) {
            ReportAt(text, nameLine,
                     which + " is longer than " + std::to_string(kNameBufferSize - 1) + " bytes");
            return false;
        }
        name.push_back(static_cast<char>(c));
    }
}

// Slots naming one file share its texture.
bool ReadTextures(MapText& text, IDirect3DDevice9* device, SceneData& scene) {
    std::string name;
    name.reserve(kNameBufferSize);
    TextureCache cache;
    for (std::int32_t k = 0; k < scene.textureCount; ++k) {
        int nameLine = 0;
        if (!ReadName(text, k, name, nameLine)) return false;
        if (device == nullptr) continue;  // the geometry alone
        const TextureLoad load = LoadSharedTexture(cache, device, name);
        scene.textures[k] = load.texture;
        if (load.texture == nullptr) {
            ReportAt(text, nameLine,
                     "warning: cannot load texture " + Quote(name.data(), name.data() + name.size()) + ": " +
                         load.why);
        }
    }
    return true;
}

// The largest numbers read, taken as unsigned (negative ones are then the largest of all).
struct Largest {
    std::uint32_t index = 0;
    std::uint32_t texture = 0;
};

// Each element of the arrays is written exactly once (they are sized without being cleared), each
// number straight where it belongs.
bool ReadTriangles(MapText& text, SceneData& scene, Largest& largest) {
    scene.indices.resize(static_cast<std::size_t>(scene.indexCount));
    scene.faces.resize(static_cast<std::size_t>(scene.triangleCount));
    NumberList list = OpenList(text);
    std::int32_t* corners = scene.indices.data();
    for (FaceRecord& face : scene.faces) {
        for (int k = 0; k < 3; ++k) {
            if (!ReadListed(list, text, "a vertex index", corners[k])) return false;
            largest.index = std::max(largest.index, static_cast<std::uint32_t>(corners[k]));
        }
        if (!ReadListed(list, text, "a texture number", face.textureIndex)) return false;
        largest.texture = std::max(largest.texture, static_cast<std::uint32_t>(face.textureIndex));
        face.normal = Vec3{0.0f, 0.0f, 0.0f};
        corners += 3;
    }
    CloseList(list, text);
    return true;
}

// Where the triangles start (to find the line of a refused texture number again) and the largest
// numbers among them: what the names need of the geometry read before them.
struct TrianglesRead {
    MapText text;
    Largest largest;
};

// Everything up to the texture count.
bool ReadGeometry(MapText& text, SceneData& scene, std::size_t readAheadFrom, TrianglesRead& triangles) {
    if (!StartText(text)) return false;
    for (float* c : {&scene.startPosition.x, &scene.startPosition.y, &scene.startPosition.z}) {
        if (!ReadNumber(text, "a start position coordinate", *c)) return false;
    }

    if (!ReadNumber(text, "the triangle count", scene.triangleCount)) return false;
    if (!CheckCount(text, text.line, "triangle count", scene.triangleCount, kMinTriangleBytes,
                    kMaxTriangleCount)) {
        return false;
    }
    scene.indexCount = 3 * scene.triangleCount;
    triangles.text = text;
    VertexLookahead ahead;
    StartVertexLookahead(ahead, text, scene.triangleCount, readAheadFrom);
    if (!ReadTriangles(text, scene, triangles.largest)) return false;

    if (!ReadNumber(text, "the vertex count", scene.vertexCount)) return false;
    if (!CheckCount(text, text.line, "vertex count", scene.vertexCount, kMinVertexBytes, 0x7fffffff) ||
        !CheckVertexIndices(triangles.text, scene, triangles.largest.index)) {
        return false;
    }
    return ReadVertices(text, scene, ahead);
}

// The texture count and the names, each name's texture made as it is read.
bool ReadNames(MapText& text, IDirect3DDevice9* device, SceneData& scene, const TrianglesRead& triangles) {
    if (!ReadCountBeforeNames(text, scene.textureCount)) return false;
    if (!CheckCount(text, text.line, "texture count", scene.textureCount, kMinNameBytes, 0x7fffffff) ||
        !CheckTextureNumbers(triangles.text, scene, triangles.largest.texture)) {
        return false;
    }
    scene.textures.assign(static_cast<std::size_t>(scene.textureCount), nullptr);
    return ReadTextures(text, device, scene);
}

void DiscardScene(SceneData& scene) {
    for (IDirect3DTexture9* texture : scene.textures) {
        if (texture != nullptr) texture->Release();
    }
    scene = SceneData{};
}

// Runs read(), which fills the scene from the cursor on; a refusal or a count too large to
// allocate leaves the scene empty.
template <typename Read>
bool ReadGuarded(MapText& cursor, SceneData& scene, Read read) {
    bool loaded = false;
    try {
        loaded = read();
    } catch (const std::bad_alloc&) {
        ReportAt(cursor, cursor.line, "the counts read so far are too large to allocate");
    }
    if (!loaded) DiscardScene(scene);
    return loaded;
}

// The map read ahead on its own thread, up to the texture count, while the window and the device
// are made. It reads quietly: where anything is wrong, LoadMap reads the file again and says what.
struct MapReading {
    FileView view;
    MapText text{};
    TrianglesRead triangles{};
    SceneData scene;
    bool read = false;
    std::jthread thread;  // declared last: joined before the rest goes
};

MapReading gMapReading;

void ReadMapAhead(MapReading& reading) {
    if (OpenFileView(kMapFileName, reading.view) != OpenResult::kOk) return;
    reading.text = MapText{kMapFileName, reading.view.data, reading.view.data + reading.view.size, 1, true};
    MapText& text = reading.text;
    reading.read = ReadGuarded(text, reading.scene, [&] {
        return ReadGeometry(text, reading.scene, kReadAheadFrom, reading.triangles);
    });
}

// Joins the thread reading ahead and lets go of what it read.
void EndMapReading() {
    if (gMapReading.thread.joinable()) gMapReading.thread.join();
    CloseFileView(gMapReading.view);
    gMapReading.text = MapText{};
    gMapReading.triangles = TrianglesRead{};  // the largest numbers of one map must not pass to the next
    gMapReading.scene = SceneData{};
    gMapReading.read = false;
}

}  // namespace

bool LoadMapText(const char* fileName, const char* text, std::size_t size, IDirect3DDevice9* device,
                 SceneData& scene, std::size_t readAheadFrom) {
    scene = SceneData{};
    MapText cursor{fileName, text, text + size, 1, false};
    return ReadGuarded(cursor, scene, [&] {
        TrianglesRead triangles{};
        return ReadGeometry(cursor, scene, readAheadFrom, triangles) &&
               ReadNames(cursor, device, scene, triangles);
    });
}

bool LoadMapFile(const char* path, IDirect3DDevice9* device, SceneData& scene) {
    FileView view;
    const OpenResult opened = OpenFileView(path, view);
    if (opened != OpenResult::kOk) {
        std::string problem = opened == OpenResult::kNotFound ? "cannot open the map file"
                              : opened == OpenResult::kNotRegular
                                  ? "the map file is not a regular file (a folder, device, FIFO or socket)"
                                  : "cannot read the map file";
        if (opened == OpenResult::kAmbiguous) {
            problem = "cannot open the map file: several files differ from its name only in letter case: " +
                      LookUpFile(path).ambiguity;
        }
        ReportLine("%s: %s", path, problem.c_str());
        scene = SceneData{};
        return false;
    }
    const bool loaded = LoadMapText(path, view.data, view.size, device, scene);
    CloseFileView(view);
    return loaded;
}

void StartReadingMap(std::uint64_t from) {
    EndMapReading();
    // A short map gains nothing, and a thread started before the window costs its start-up about
    // 10 ms (measured with the courtyard).
    RegularFile file;
    if (OpenRegularFile(kMapFileName, file) != OpenResult::kOk) return;
    const bool large = file.size >= from;
    CloseRegularFile(file);
    if (!large) return;
    try {
        gMapReading.thread = std::jthread(ReadMapAhead, std::ref(gMapReading));
    } catch (const std::system_error&) {
        // LoadMap reads it all then
    }
}

bool LoadMap(IDirect3DDevice9* device, SceneData& scene) {
    if (gMapReading.thread.joinable()) gMapReading.thread.join();
    bool loaded = false;
    if (gMapReading.read) {
        scene = std::move(gMapReading.scene);
        MapText cursor = gMapReading.text;
        cursor.quiet = false;
        TrianglesRead triangles = gMapReading.triangles;
        triangles.text.quiet = false;
        loaded = ReadGuarded(cursor, scene, [&] { return ReadNames(cursor, device, scene, triangles); });
    } else {
        loaded = LoadMapFile(kMapFileName, device, scene);
    }
    EndMapReading();
    return loaded;
}
