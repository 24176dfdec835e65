// make_courtyard: writes the sample scene examples/courtyard/ (map.txt and its textures), or with
// --large the million-triangle examples/large/. Run from the repository root, or name the
// examples folder as the last argument.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/make_courtyard/courtyard.h"
#include "tools/make_courtyard/map_writer.h"
#include "tools/make_courtyard/textures.h"

namespace {

constexpr int kLargeTriangles = 1000000;

bool WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    return static_cast<bool>(file.flush());
}

}  // namespace

int main(int argc, char** argv) {
    bool large = false;
    std::filesystem::path examples = "examples";
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--large") == 0) {
            large = true;
        } else if (argv[k][0] == '-') {
            std::fprintf(stderr, "usage: make_courtyard [--large] [examples-folder]\n");
            return 2;
        } else {
            examples = argv[k];
        }
    }
    const std::filesystem::path folder = examples / (large ? "large" : "courtyard");
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "make_courtyard: cannot create %s: %s\n", folder.c_str(),
                     error.message().c_str());
        return 1;
    }
    std::vector<std::string> names;
    for (int id = 0; id < kTextureCount; ++id) {
        names.push_back(kTextureFileNames[id]);
        if (!WriteImage((folder / names.back()).string(), MakeTexture(static_cast<TextureId>(id)))) {
            std::fprintf(stderr, "make_courtyard: cannot write %s\n", (folder / names.back()).c_str());
            return 1;
        }
    }
    const MapMesh mesh = large ? BuildCourtyardGrid(kLargeTriangles) : BuildCourtyard();
    const std::filesystem::path map = folder / "map.txt";
    if (!WriteText(map, FormatMap(mesh, names, kMapNote))) {
        std::fprintf(stderr, "make_courtyard: cannot write %s\n", map.c_str());
        return 1;
    }
    std::printf("make_courtyard: wrote %s: %zu triangles, %zu vertices, %zu textures\n", map.c_str(),
                mesh.triangles.size(), mesh.vertices.size(), names.size());
    return 0;
}
