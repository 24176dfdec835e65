#pragma once
// Writes large random maps for benchmarks and stress runs: a jittered height field whose
// triangles use nearby vertices, as a real mesh does, so the reader and normals see real locality.
#include <cstdint>

struct RandomMapSize {
    std::int32_t triangles = 1'000'000;
    std::int32_t vertices = 500'000;
    std::int32_t textures = 8;
};

// True when a map of this size can be written: no negative count, and a map with triangles
// needs at least one vertex and one texture for them to name.
bool IsValidRandomMapSize(const RandomMapSize& size);

// Writes the map to path; the same size always gives the same bytes. False when the size is not
// valid or the file cannot be written.
bool WriteRandomMap(const char* path, const RandomMapSize& size);
