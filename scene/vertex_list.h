#pragma once
// The vertex list, the longest part of a large map. Where the text is long, a second thread skips
// the triangles without converting them, finds the vertex count and a vertex from which both threads
// have about as much to do, and quietly reads the list from there while the first thread reads the
// triangles and the list's earlier part. What it read counts only when the first thread arrives exactly where
// it began, at the same line: then it is what reading on would have given. Otherwise, or where it refused
// anything, the first thread reads on alone and reports what is wrong itself.
#include <cstddef>
#include <cstdint>
#include <future>
#include <thread>

#include "scene/map_text.h"
#include "scene/scene_data.h"
#include "scene/token_skip.h"

// Where the second thread split the list, known before it starts reading.
struct VertexSplit {
    bool found = false;
    TextPlace countEnd{};  // right after the vertex count
    std::int32_t vertexCount = 0;
    std::int32_t first = 0;  // the first vertex it reads
    TextPlace firstAt{};     // where that vertex starts
};

struct VertexLookahead {
    SceneArray<Vertex> vertices;  // the whole list: the second thread fills it from `first` on
    std::future<VertexSplit> split;
    bool readToEnd = false;  // the second thread read every vertex from `first` on
    TextPlace end{};         // and stopped here
    std::jthread thread;     // declared last: stopped and joined before the rest goes
};

// Starts the second thread with the text right after the triangle count, when at least `from`
// bytes are left and the machine has a second processor.
void StartVertexLookahead(VertexLookahead& ahead, const MapText& afterTriangleCount,
                          std::int32_t triangleCount, std::size_t from);

// With the text right after the vertex count (scene.vertexCount): reads the list into
// scene.vertices, taking what was read ahead where it is sound.
bool ReadVertices(MapText& text, SceneData& scene, VertexLookahead& ahead);
