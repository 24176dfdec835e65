#include "scene/vertex_list.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <system_error>
#include <utility>

#include "scene/number_list.h"

namespace {

// The second thread checks for a stop between runs of this many vertices.
constexpr std::int32_t kVerticesBetweenStopChecks = 4096;

// What a byte costs, in hundredths of what converting a byte of vertices costs: converting one of
// the triangles' short integers, and skipping one. The second thread starts where both threads
// then take about as long.
constexpr std::ptrdiff_t kTriangleByteCost = 27;
constexpr std::ptrdiff_t kSkippedByteCost = 10;

bool ReadVertexRange(MapText& text, Vertex* into, std::int32_t count) {
    NumberList list = OpenList(text);
    for (Vertex* vertex = into; vertex != into + count; ++vertex) {
        for (float* c : {&vertex->x, &vertex->y, &vertex->z}) {
            if (!ReadListed(list, text, "a vertex position", *c)) return false;
        }
        for (float* c : {&vertex->u, &vertex->v}) {
            if (!ReadListed(list, text, "a texture coordinate", *c)) return false;
        }
        vertex->nx = vertex->ny = vertex->nz = 0.0f;
    }
    CloseList(list, text);
    return true;
}

// The vertex count and the first whole vertex at the target or after it; not found when the text
// runs out or the count is refused.
VertexSplit FindSplit(VertexLookahead& ahead, MapText& text, std::int32_t triangleCount) {
    VertexSplit split;
    const char* trianglesStart = text.p;
    TextPlace place{text.p, text.line};
    const std::uint64_t triangleTokens = 4 * static_cast<std::uint64_t>(triangleCount);
    if (SkipTokens(place, text.end, triangleTokens, text.end) != triangleTokens) return split;
    text.p = place.p;
    text.line = place.line;
    std::int32_t count = 0;
    if (!ReadNumber(text, "the vertex count", count) ||
        !CheckCount(text, text.line, "vertex count", count, kMinVertexBytes, 0x7fffffff)) {
        return split;
    }
    // The first thread converts the triangles and the vertices up to the target; the second skips
    // both and converts the rest.
    const std::ptrdiff_t triangleBytes = text.p - trianglesStart;
    const std::ptrdiff_t vertexBytes = text.end - text.p;
    const std::ptrdiff_t firstThreadsVertexBytes =
        (vertexBytes * 100 - triangleBytes * (kTriangleByteCost - kSkippedByteCost)) /
        (200 - kSkippedByteCost);
    const char* target = text.p + std::max(firstThreadsVertexBytes, std::ptrdiff_t{0});
    place = TextPlace{text.p, text.line};
    const std::uint64_t passed =
        SkipTokens(place, text.end, std::numeric_limits<std::uint64_t>::max(), target);
    const std::uint64_t toRecordStart = (5 - passed % 5) % 5;
    const std::uint64_t first = (passed + toRecordStart) / 5;
    if (SkipTokens(place, text.end, toRecordStart, text.end) != toRecordStart ||
        first >= static_cast<std::uint64_t>(count)) {
        return split;
    }
    ahead.vertices.resize(static_cast<std::size_t>(count));
    split.countEnd = TextPlace{text.p, text.line};
    split.vertexCount = count;
    split.first = static_cast<std::int32_t>(first);
    split.firstAt = place;
    split.found = true;
    return split;
}

void ReadAhead(std::stop_token stop, VertexLookahead& ahead, std::promise<VertexSplit> promise, MapText text,
               std::int32_t triangleCount) {
    VertexSplit split;
    try {
        split = FindSplit(ahead, text, triangleCount);
    } catch (const std::exception&) {
        // Out of memory for the list: the first thread reads alone, and says so if it is too.
        split = VertexSplit{};
    }
    promise.set_value(split);
    if (!split.found) return;
    text.p = split.firstAt.p;
    text.line = split.firstAt.line;
    Vertex* into = ahead.vertices.data() + split.first;
    for (std::int32_t left = split.vertexCount - split.first; left > 0;) {
        if (stop.stop_requested()) return;
        const std::int32_t run = std::min(left, kVerticesBetweenStopChecks);
        if (!ReadVertexRange(text, into, run)) return;
        into += run;
        left -= run;
    }
    ahead.end = TextPlace{text.p, text.line};
    ahead.readToEnd = true;
}

}  // namespace

void StartVertexLookahead(VertexLookahead& ahead, const MapText& afterTriangleCount,
                          std::int32_t triangleCount, std::size_t from) {
    const std::ptrdiff_t rest = afterTriangleCount.end - afterTriangleCount.p;
    if (static_cast<std::size_t>(rest) < from || std::thread::hardware_concurrency() < 2) return;
    MapText quiet = afterTriangleCount;
    quiet.quiet = true;
    std::promise<VertexSplit> promise;
    std::future<VertexSplit> split = promise.get_future();
    try {
        ahead.thread = std::jthread(ReadAhead, std::ref(ahead), std::move(promise), quiet, triangleCount);
    } catch (const std::system_error&) {
        return;  // no second thread: the first reads alone
    }
    ahead.split = std::move(split);
}

bool ReadVertices(MapText& text, SceneData& scene, VertexLookahead& ahead) {
    const VertexSplit split = ahead.split.valid() ? ahead.split.get() : VertexSplit{};
    if (!split.found || split.countEnd != TextPlace{text.p, text.line} ||
        split.vertexCount != scene.vertexCount) {
        ahead.thread = std::jthread();  // stops and joins it: its list is not this one
        scene.vertices.resize(static_cast<std::size_t>(scene.vertexCount));
        return ReadVertexRange(text, scene.vertices.data(), scene.vertexCount);
    }
    Vertex* all = ahead.vertices.data();
    if (!ReadVertexRange(text, all, split.first)) return false;
    SkipSpace(text);
    const bool arrived = TextPlace{text.p, text.line} == split.firstAt;
    if (!arrived) ahead.thread.request_stop();
    ahead.thread.join();
    if (arrived && ahead.readToEnd) {
        text.p = ahead.end.p;
        text.line = ahead.end.line;
    } else if (!ReadVertexRange(text, all + split.first, scene.vertexCount - split.first)) {
        return false;
    }
    scene.vertices = std::move(ahead.vertices);
    return true;
}
