#include "map_tool/map_text_writer.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <concepts>
#include <cstdio>
#include <functional>
#include <future>
#include <memory>

namespace {

// The longest a record's text can be: an int32 takes at most 11 characters and a float's shortest
// form at most 15 ("-1.17549435e-38"), each with its separator.
constexpr std::size_t kTriangleLineMost = 4 * 12;
constexpr std::size_t kVertexLineMost = 5 * 16;
constexpr std::size_t kCountLineMost = 12;
// About a megabyte of text a piece.
constexpr std::size_t kTrianglesAPiece = 40000;
constexpr std::size_t kVerticesAPiece = 20000;
// A map of fewer pieces is done before a second thread would have started.
constexpr std::size_t kSecondThreadFrom = 4;

// One stretch of the text, formatted into a buffer of its own so that two threads can fill two.
struct Piece {
    std::unique_ptr<char[]> bytes;
    char* end = nullptr;
    explicit Piece(std::size_t most)
        : bytes(std::make_unique_for_overwrite<char[]>(most)), end(bytes.get()) {}
    std::string_view View() const { return {bytes.get(), static_cast<std::size_t>(end - bytes.get())}; }
};

template <std::integral Integer>
char* Put(char* p, Integer value, char after) {
    p = std::to_chars(p, p + 20, value).ptr;
    *p = after;
    return p + 1;
}

char* Put(char* p, float value, char after) {
    p = std::to_chars(p, p + 15, value).ptr;
    *p = after;
    return p + 1;
}

Piece Start(const MapContent& map) {
    Piece piece(3 * 16 + kCountLineMost);
    char* p = piece.end;
    p = Put(p, map.start[0], ' ');
    p = Put(p, map.start[1], ' ');
    p = Put(p, map.start[2], '\n');
    piece.end = Put(p, map.triangles.size(), '\n');
    return piece;
}

Piece Triangles(const MapTriangle* first, const MapTriangle* last) {
    Piece piece(static_cast<std::size_t>(last - first) * kTriangleLineMost);
    char* p = piece.end;
    for (const MapTriangle* t = first; t != last; ++t) {
        p = Put(p, t->a, ' ');
        p = Put(p, t->b, ' ');
        p = Put(p, t->c, ' ');
        p = Put(p, t->texture, '\n');
    }
    piece.end = p;
    return piece;
}

Piece Vertices(const MapVertex* first, const MapVertex* last) {
    Piece piece(static_cast<std::size_t>(last - first) * kVertexLineMost);
    char* p = piece.end;
    for (const MapVertex* v = first; v != last; ++v) {
        p = Put(p, v->x, ' ');
        p = Put(p, v->y, ' ');
        p = Put(p, v->z, ' ');
        p = Put(p, v->u, ' ');
        p = Put(p, v->v, '\n');
    }
    piece.end = p;
    return piece;
}

Piece Count(std::size_t count) {
    Piece piece(kCountLineMost);
    piece.end = Put(piece.end, count, '\n');
    return piece;
}

Piece Names(const MapContent& map) {
    std::size_t most = kCountLineMost;
    for (const std::string& name : map.textureNames) most += name.size() + 3;
    Piece piece(most);
    char* p = Put(piece.end, map.textureNames.size(), '\n');
    for (const std::string& name : map.textureNames) {
        *p++ = '%';
        p = std::copy(name.begin(), name.end(), p);
        *p++ = '%';
        *p++ = '\n';
    }
    piece.end = p;
    return piece;
}

// The text's pieces in order, each about a megabyte, so that two threads can share them out.
std::vector<std::function<Piece()>> Jobs(const MapContent& map) {
    std::vector<std::function<Piece()>> jobs;
    jobs.push_back([&map] { return Start(map); });
    const MapTriangle* triangles = map.triangles.data();
    for (std::size_t at = 0; at < map.triangles.size(); at += kTrianglesAPiece) {
        const std::size_t end = std::min(at + kTrianglesAPiece, map.triangles.size());
        jobs.push_back([=] { return Triangles(triangles + at, triangles + end); });
    }
    jobs.push_back([&map] { return Count(map.vertices.size()); });
    const MapVertex* vertices = map.vertices.data();
    for (std::size_t at = 0; at < map.vertices.size(); at += kVerticesAPiece) {
        const std::size_t end = std::min(at + kVerticesAPiece, map.vertices.size());
        jobs.push_back([=] { return Vertices(vertices + at, vertices + end); });
    }
    jobs.push_back([&map] { return Names(map); });
    return jobs;
}

// Hands the text to sink in order. A second thread formats pieces meanwhile; this one formats
// pieces too whenever the next one to hand on is not ready yet.
void FormatMap(const MapContent& map, const std::function<void(std::string_view)>& sink) {
    const std::vector<std::function<Piece()>> jobs = Jobs(map);
    std::vector<std::promise<Piece>> made(jobs.size());
    std::vector<std::future<Piece>> ready;
    for (std::promise<Piece>& piece : made) ready.push_back(piece.get_future());
    std::atomic<std::size_t> next = 0;
    const auto formatOne = [&] {
        const std::size_t job = next++;
        if (job >= jobs.size()) return false;
        try {
            made[job].set_value(jobs[job]());
        } catch (...) {
            made[job].set_exception(std::current_exception());
        }
        return true;
    };
    std::future<void> helper;
    if (jobs.size() > kSecondThreadFrom)
        helper = std::async(std::launch::async, [&] {
            while (formatOne()) {
            }
        });
    for (std::future<Piece>& piece : ready) {
        while (piece.wait_for(std::chrono::seconds(0)) != std::future_status::ready && formatOne()) {
        }
        sink(piece.get().View());
    }
}

}  // namespace

std::string MapText(const MapContent& map) {
    std::string text;
    FormatMap(map, [&text](std::string_view piece) { text += piece; });
    return text;
}

bool WriteMapFile(const std::filesystem::path& path, const MapContent& map, std::string& why) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        why = "cannot create " + path.string();
        return false;
    }
    bool written = true;
    FormatMap(map, [file, &written](std::string_view piece) {
        written = written && std::fwrite(piece.data(), 1, piece.size(), file) == piece.size();
    });
    written = std::fclose(file) == 0 && written;
    if (!written) why = "cannot write " + path.string() + " (is the disk full?)";
    return written;
}
