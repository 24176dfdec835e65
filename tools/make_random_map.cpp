// make_random_map [output [triangles [vertices [textures]]]]: writes a large random map for
// benchmarks, by default map.txt with 1,000,000 triangles, 500,000 vertices and 8 textures.
#include <charconv>
#include <cstdio>
#include <cstring>

#include "tools/random_map.h"

namespace {

bool ParseCount(const char* text, std::int32_t& count) {
    const char* end = text + std::strlen(text);
    const auto [ptr, error] = std::from_chars(text, end, count);
    return error == std::errc() && ptr == end;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: make_random_map [output [triangles [vertices [textures]]]]\n"
                 "counts are non-negative; a map with triangles needs a vertex and a texture\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // An option such as --help is no file name: writing a map called "--help" helps nobody.
    if (argc > 5 || (argc > 1 && argv[1][0] == '-')) {
        return Usage();
    }
    const char* path = argc > 1 ? argv[1] : "map.txt";
    RandomMapSize size;
    std::int32_t* counts[] = {&size.triangles, &size.vertices, &size.textures};
    for (int i = 2; i < argc; ++i) {
        if (!ParseCount(argv[i], *counts[i - 2])) {
            return Usage();
        }
    }
    if (!IsValidRandomMapSize(size)) {
        return Usage();
    }
    if (!WriteRandomMap(path, size)) {
        std::fprintf(stderr, "make_random_map: cannot write %s\n", path);
        return 1;
    }
    return 0;
}
