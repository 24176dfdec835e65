// The random map writer. Its own generator and number formatting keep the output byte for byte
// the same on every platform and standard library.
#include "tools/random_map.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr std::uint64_t kSeed = 0x5eed'2026'0001'cafeULL;
constexpr float kSpacing = 0.5f;
constexpr float kJitter = 0.3f;
constexpr std::int32_t kDegenerateEvery = 997;   // a triangle naming one vertex twice
constexpr std::int32_t kDuplicateEvery = 1009;   // a vertex on its neighbour: zero-area triangles
constexpr std::uint64_t kFarNeighbourOdds = 64;  // one triangle in this many reaches two rows away
constexpr std::uint64_t kLongestRun = 4096;      // triangles sharing one texture in a row

// splitmix64: tiny, fast and the same everywhere, unlike the standard distributions.
struct Random {
    std::uint64_t state = kSeed;

    std::uint64_t Next() {
        std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    std::uint64_t Below(std::uint64_t n) { return Next() % n; }
    // Uniform in [-1, 1).
    float Signed() { return static_cast<float>(Next() >> 40) * 0x1p-23f - 1.0f; }
};

// Collects the text and hands it to the file in large blocks.
struct Writer {
    std::FILE* file;
    std::string buffer;
    bool ok = true;

    static constexpr std::size_t kBlock = 1 << 20;

    void Flush() {
        if (!buffer.empty() && std::fwrite(buffer.data(), 1, buffer.size(), file) != buffer.size()) {
            ok = false;
        }
        buffer.clear();
    }
    void Text(const char* s) {
        buffer += s;
        if (buffer.size() >= kBlock) {
            Flush();
        }
    }
    void Int(std::int64_t value, char after) {
        char text[24];
        char* end = std::to_chars(text, text + sizeof text, value).ptr;
        *end++ = after;
        buffer.append(text, end);
    }
    // Six significant digits, as "%.6g" prints them.
    void Float(float value, char after) {
        char text[32];
        char* end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6).ptr;
        *end++ = after;
        buffer.append(text, end);
    }
};

std::int32_t GridWidth(std::int32_t vertices) {
    std::int32_t width = 1;
    while (static_cast<std::int64_t>(width) * width < vertices) {
        ++width;
    }
    return width;
}

void WriteVertices(Writer& out, Random& random, std::int32_t count, std::int32_t width) {
    out.Int(count, '\n');
    float previous[5] = {};
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t column = i % width;
        const std::int32_t row = i / width;
        float vertex[5];
        if (i % kDuplicateEvery == kDuplicateEvery - 1 && column > 0) {
            std::memcpy(vertex, previous, sizeof vertex);
        } else {
            vertex[0] = (static_cast<float>(column - width / 2) + kJitter * random.Signed()) * kSpacing;
            vertex[1] = 2.0f + random.Signed();
            vertex[2] = (static_cast<float>(row - width / 2) + kJitter * random.Signed()) * kSpacing;
            vertex[3] = static_cast<float>(column) * 0.125f + 0.01f * random.Signed();
            vertex[4] = static_cast<float>(row) * 0.125f + 0.01f * random.Signed();
        }
        for (int k = 0; k < 5; ++k) {
            out.Float(vertex[k], k < 4 ? ' ' : '\n');
        }
        std::memcpy(previous, vertex, sizeof vertex);
        if (out.buffer.size() >= Writer::kBlock) {
            out.Flush();
        }
    }
}

// Two triangles per grid cell, the cells walked in order (spread over the grid when there are
// fewer triangles than cells), texture numbers in runs.
void WriteTriangles(Writer& out, Random& random, const RandomMapSize& size, std::int32_t width) {
    out.Int(size.triangles, '\n');
    const std::int64_t vertices = size.vertices;
    const std::int64_t cellsUsed = (static_cast<std::int64_t>(size.triangles) + 1) / 2;
    std::int64_t texture = 0;
    std::uint64_t runLeft = 0;
    for (std::int32_t t = 0; t < size.triangles; ++t) {
        const std::int64_t base = (t / 2) * vertices / cellsUsed;
        const std::int64_t a = base % vertices;
        const std::int64_t b = (base + 1) % vertices;
        const std::int64_t c = (base + width) % vertices;
        const std::int64_t d = (base + width + 1) % vertices;
        std::int64_t corner[3] = {a, c, b};
        if (t % 2 == 1) {
            corner[0] = b;
            corner[2] = d;
        }
        if (random.Below(kFarNeighbourOdds) == 0) {
            corner[2] =
                (base + 2 * static_cast<std::int64_t>(width) + static_cast<std::int64_t>(random.Below(5))) %
                vertices;
        }
        if (t % kDegenerateEvery == kDegenerateEvery - 1) {
            corner[2] = corner[0];
        }
        if (runLeft == 0) {
            texture = static_cast<std::int64_t>(random.Below(static_cast<std::uint64_t>(size.textures)));
            runLeft = 1 + random.Below(kLongestRun);
        }
        --runLeft;
        out.Int(corner[0], ' ');
        out.Int(corner[1], ' ');
        out.Int(corner[2], ' ');
        out.Int(texture, '\n');
        if (out.buffer.size() >= Writer::kBlock) {
            out.Flush();
        }
    }
}

void WriteTextureNames(Writer& out, std::int32_t count) {
    out.Int(count, '\n');
    for (std::int32_t k = 0; k < count; ++k) {
        out.Text("%textures/tile ");
        out.Int(k, '.');
        out.Text("bmp%\n");
    }
}

}  // namespace

bool IsValidRandomMapSize(const RandomMapSize& size) {
    if (size.triangles < 0 || size.vertices < 0 || size.textures < 0) {
        return false;
    }
    return size.triangles == 0 || (size.vertices > 0 && size.textures > 0);
}

bool WriteRandomMap(const char* path, const RandomMapSize& size) {
    if (!IsValidRandomMapSize(size)) {
        return false;
    }
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    Writer out{file, {}};
    out.buffer.reserve(Writer::kBlock + 4096);
    Random random;
    const std::int32_t width = GridWidth(size.vertices);
    const float back = static_cast<float>(width) * kSpacing * 0.5f + 10.0f;
    out.Float(0.0f, ' ');
    out.Float(5.0f, ' ');
    out.Float(-back, '\n');
    WriteTriangles(out, random, size, width);
    WriteVertices(out, random, size.vertices, width);
    WriteTextureNames(out, size.textures);
    out.Flush();
    const bool closed = std::fclose(file) == 0;
    return out.ok && closed;
}
