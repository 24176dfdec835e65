#pragma once
// The map reader: a map's text in, its scene or the one line that refuses it out. It opens no file,
// makes no texture, writes nothing and keeps nothing between calls, so any thread may call it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_watch.h"
#include "scene/scene_data.h"

constexpr int kMaxSkipBeforeName = 11;  // characters allowed before a name's opening '%'
constexpr int kMaxNameBytes = 254;

// The largest counts, and the fewest bytes one record takes (its separator included): a count
// beyond what the rest of the text can hold is refused before anything is allocated for it.
struct CountRule {
    const char* what;
    std::int32_t most;
    std::ptrdiff_t minRecordBytes;
};
constexpr CountRule kTriangleCountRule{"triangle count", INT32_MAX / 3, 8};  // indexCount must fit too
constexpr CountRule kVertexCountRule{"vertex count", INT32_MAX, 10};
constexpr CountRule kTextureCountRule{"texture count", INT32_MAX, 2};

struct TextureName {
    std::string name;
    int line;  // where its opening '%' stands, for the texture's warning
};

struct MapRead {
    SceneData scene;                 // all but the texture slots, which the caller makes
    std::vector<TextureName> names;  // one for each slot, in order
    std::string refusal;             // "file:line: what is wrong", or empty when the map was read
    WatchedFile source;              // the file it came from, when it came from one
};

// Reads the text as a text-mode stream would deliver it (CR LF is one LF; a UTF-8 byte-order mark
// is skipped). fileName only names it in the refusal. A refused map leaves scene and names empty.
MapRead ReadMap(std::string_view fileName, std::string_view text);
