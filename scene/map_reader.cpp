// The map reader: the text is converted in place, number by number, in the order the format gives.
// Anything that would leave the scene partly unread, out of range or unsafe is refused instead.
//
// Each rule of the text is written once:
// - white space, line ends and line counting, the sign, base prefixes and what may follow a number:
//   scene/map_rules.h, used by every tier below;
// - the conversions, one fast path and one general conversion for each of "%i" and "%f":
//   scene/number_parse.h;
// - long lists read 64 bytes at a time, falling back on the lone-number reader: scene/number_list.h;
// - lone numbers, finite floats, text-mode characters, the byte-order mark: scene/map_text.cpp;
// - the counts' limits: the CountRules in scene/map_reader.h, checked by CheckCount below;
// - indices and texture numbers in range, the 11 characters before a name's '%' and the name's
//   length: below.
#include "scene/map_reader.h"

#include <algorithm>
#include <new>

#include "platform/report.h"
#include "scene/map_text.h"
#include "scene/number_list.h"

namespace {

// Refuses a count read at `line` that is negative, above the rule's most, or more records than
// the rest of the text holds.
bool CheckCount(const MapText& text, int line, const CountRule& rule, std::int32_t count) {
    const std::string what = std::string(rule.what) + " " + std::to_string(count);
    if (count < 0) {
        Refuse(text, line, what + " is negative");
        return false;
    }
    if (count > rule.most || count > (text.end - text.p) / rule.minRecordBytes) {
        Refuse(text, line, what + " is more than the rest of the file holds");
        return false;
    }
    return true;
}

bool ReadCount(MapText& text, const CountRule& rule, std::int32_t& count) {
    const std::string what = std::string("the ") + rule.what;
    return ReadNumber(text, what.c_str(), count) && CheckCount(text, text.line, rule, count);
}

// The line of the ordinal-th number after `from`, found again only when a value is refused.
int LineOfNumber(MapText from, std::size_t ordinal) {
    for (std::size_t i = 0;; ++i) {
        SkipSpace(from);
        if (i == ordinal) return from.line;
        while (from.p < from.end && !IsMapSpace(*from.p)) ++from.p;
    }
}

// The greatest numbers read, taken as unsigned: negative ones count as the greatest of all, so one
// comparison with the limit checks every number.
struct GreatestRead {
    std::uint32_t index = 0;
    std::uint32_t texture = 0;
};

// The first element outside 0 ... limit - 1; there is one (its greatest number is beyond).
template <typename Element, typename Number>
std::size_t FirstOutOfRange(const Element* elements, std::int32_t limit, Number number) {
    std::size_t i = 0;
    while (static_cast<std::uint32_t>(number(elements[i])) < static_cast<std::uint32_t>(limit)) ++i;
    return i;
}

// The list is searched again only to report the first index out of range.
bool CheckVertexIndices(const MapText& triangles, const SceneData& scene, std::uint32_t greatest) {
    if (scene.indexCount == 0 || greatest < static_cast<std::uint32_t>(scene.vertexCount)) return true;
    const std::size_t i =
        FirstOutOfRange(scene.indices.data(), scene.vertexCount, [](std::int32_t index) { return index; });
    const std::string index = "vertex index " + std::to_string(scene.indices[i]);
    Refuse(triangles, LineOfNumber(triangles, i / 3 * 4 + i % 3),
           scene.vertexCount == 0 ? index + " is given, but the map has no vertices"
                                  : index + " is outside 0 to " + std::to_string(scene.vertexCount - 1) +
                                        " (the map has " + std::to_string(scene.vertexCount) + " vertices)");
    return false;
}

bool CheckTextureNumbers(const MapText& triangles, const SceneData& scene, std::uint32_t greatest) {
    if (scene.triangleCount == 0 || greatest < static_cast<std::uint32_t>(scene.textureCount)) return true;
    const std::size_t t = FirstOutOfRange(scene.faces.data(), scene.textureCount,
                                          [](const FaceRecord& face) { return face.textureIndex; });
    const std::string texture = "texture number " + std::to_string(scene.faces[t].textureIndex);
    Refuse(triangles, LineOfNumber(triangles, t * 4 + 3),
           scene.textureCount == 0
               ? texture + " is given, but the map names no textures"
               : texture + " is outside 0 to " + std::to_string(scene.textureCount - 1) + " (the map has " +
                     std::to_string(scene.textureCount) + " textures)");
    return false;
}

// Each element of the arrays is written exactly once (they are sized without being cleared), each
// number straight where it belongs.
bool ReadTriangles(MapText& text, SceneData& scene, GreatestRead& greatest) {
    scene.indices.resize(static_cast<std::size_t>(scene.indexCount));
    scene.faces.resize(static_cast<std::size_t>(scene.triangleCount));
    NumberList list = OpenList(text);
    std::int32_t* corners = scene.indices.data();
    for (FaceRecord& face : scene.faces) {
        for (int k = 0; k < 3; ++k) {
            if (!ReadListed(list, text, "a vertex index", corners[k])) return false;
            greatest.index = std::max(greatest.index, static_cast<std::uint32_t>(corners[k]));
        }
        if (!ReadListed(list, text, "a texture number", face.textureIndex)) return false;
        greatest.texture = std::max(greatest.texture, static_cast<std::uint32_t>(face.textureIndex));
        face.normal = Vec3{0.0f, 0.0f, 0.0f};
        corners += 3;
    }
    CloseList(list, text);
    return true;
}

bool ReadVertices(MapText& text, SceneData& scene) {
    scene.vertices.resize(static_cast<std::size_t>(scene.vertexCount));
    NumberList list = OpenList(text);
    for (Vertex& vertex : scene.vertices) {
        for (float* c : {&vertex.x, &vertex.y, &vertex.z}) {
            if (!ReadListed(list, text, "a vertex position", *c)) return false;
        }
        for (float* c : {&vertex.u, &vertex.v}) {
            if (!ReadListed(list, text, "a texture coordinate", *c)) return false;
        }
        vertex.nx = vertex.ny = vertex.nz = 0.0f;
    }
    CloseList(list, text);
    return true;
}

// At most kMaxSkipBeforeName characters may come before the opening '%'; the name runs to the
// closing '%' (or a zero byte).
bool ReadName(MapText& text, std::int32_t k, TextureName& name) {
    const auto which = [k] { return "texture name " + std::to_string(k + 1); };  // for a refusal only
    const char* skipStart = text.p;
    int skipLine = text.line;
    bool seenVisible = false;
    for (int skipped = 0;; ++skipped) {
        const int c = NextChar(text);
        if (c == '%') break;
        if (c == -1) {
            Refuse(text, text.line, "expected '%' to open " + which() + ", found end of file");
            return false;
        }
        if (!seenVisible && !IsMapSpace(static_cast<char>(c))) {
            seenVisible = true;
            skipLine = text.line;
        }
        if (skipped == kMaxSkipBeforeName) {
            Refuse(text, skipLine,
                   "expected '%' to open " + which() + " within " + std::to_string(kMaxSkipBeforeName) +
                       " characters, found " + Quote(skipStart, text.p));
            return false;
        }
    }
    name.line = text.line;
    for (;;) {
        const int c = NextChar(text);
        if (c == -1) {
            Refuse(text, name.line, which() + " has no closing '%' before the end of the file");
            return false;
        }
        if (c == '%' || c == 0) return true;
        if (name.name.size() == kMaxNameBytes) {
            Refuse(text, name.line, which() + " is longer than " + std::to_string(kMaxNameBytes) + " bytes");
            return false;
        }
        name.name.push_back(static_cast<char>(c));
    }
}

bool ReadWholeMap(MapText& text, MapRead& read) {
    SceneData& scene = read.scene;
    if (!StartText(text)) return false;
    for (float* c : {&scene.startPosition.x, &scene.startPosition.y, &scene.startPosition.z}) {
        if (!ReadNumber(text, "a start position coordinate", *c)) return false;
    }

    if (!ReadCount(text, kTriangleCountRule, scene.triangleCount)) return false;
    scene.indexCount = 3 * scene.triangleCount;
    const MapText triangles = text;  // to find the line of a refused number again
    GreatestRead greatest;
    if (!ReadTriangles(text, scene, greatest)) return false;

    if (!ReadCount(text, kVertexCountRule, scene.vertexCount) ||
        !CheckVertexIndices(triangles, scene, greatest.index) || !ReadVertices(text, scene)) {
        return false;
    }

    // Anything may follow the texture count: the names' own rule judges what comes next.
    if (!ReadCountBeforeNames(text, scene.textureCount) ||
        !CheckCount(text, text.line, kTextureCountRule, scene.textureCount) ||
        !CheckTextureNumbers(triangles, scene, greatest.texture)) {
        return false;
    }
    read.names.resize(static_cast<std::size_t>(scene.textureCount));
    for (std::int32_t k = 0; k < scene.textureCount; ++k) {
        if (!ReadName(text, k, read.names[static_cast<std::size_t>(k)])) return false;
    }
    return true;
}

}  // namespace

MapRead ReadMap(std::string_view fileName, std::string_view text) {
    MapRead read;
    Refusal refusal;
    MapText cursor{text.data(), text.data() + text.size(), 1, &refusal};
    try {
        if (ReadWholeMap(cursor, read)) {
            FindTextureRuns(read.scene);
            return read;
        }
    } catch (const std::bad_alloc&) {
        Refuse(cursor, cursor.line, "the counts read so far are too large to allocate");
    }
    read = MapRead{};
    read.refusal = std::string(fileName) + ":" + std::to_string(refusal.line) + ": " + refusal.message;
    return read;
}
