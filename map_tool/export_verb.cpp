// vellmora-map export MAP OUTPUT: the map as an OBJ or glTF model, to change in an editor and import again.
#include <cstdio>
#include <filesystem>
#include <unordered_map>

#include "map_tool/map_source.h"
#include "map_tool/model_export.h"
#include "map_tool/verbs.h"
#include "platform/file_lookup.h"
#include "scene/normals.h"

namespace {

// Each slot's file as the viewer finds it from the map's folder (the current one), from the
// output's folder; empty for a slot without an image.
std::vector<std::string> TexturePaths(const std::vector<TextureName>& names,
                                      const std::filesystem::path& to) {
    FolderListings listings;
    std::unordered_map<std::string, std::string> byName;
    std::vector<std::string> paths;
    for (const TextureName& name : names) {
        if (name.name.empty()) {
            paths.emplace_back();
            continue;
        }
        const auto [known, first] = byName.try_emplace(name.name);
        if (first) {
            const std::filesystem::path found = LookUpFile(name.name, listings).path;
            known->second =
                std::filesystem::absolute(found).lexically_normal().lexically_relative(to).generic_string();
        }
        paths.push_back(known->second);
    }
    return paths;
}

}  // namespace

int RunExport(const Arguments& arguments) {
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: %s\n", kExportUsage);
        return 2;
    }
    const std::filesystem::path output = std::filesystem::absolute(arguments[1]).lexically_normal();
    const char* format = ModelFormat(output);
    if (format == nullptr) {
        std::fprintf(stderr,
                     "vellmora-map: cannot export to \"%s\": the name must end in .obj, .gltf or .glb\n",
                     arguments[1].c_str());
        return 2;
    }
    std::unique_ptr<aiScene> model;
    {
        const MapFolder folder(arguments[0]);
        MapRead read = folder.Read();
        if (!read.refusal.empty()) {
            std::fprintf(stderr, "%s\n", read.refusal.c_str());
            return 2;
        }
        // The viewer's own normals: an editor then shades as the viewer does, and an import that
        // merges identical vertices keeps the map's sharp edges apart.
        GenerateNormals(read.scene);
        model = MapAsModel(read.scene, TexturePaths(read.names, output.parent_path()));
    }
    const std::string why = WriteModel(*model, format, output);
    if (!why.empty()) {
        std::fprintf(stderr, "vellmora-map: cannot export \"%s\": %s\n", arguments[1].c_str(), why.c_str());
        return 2;
    }
    return 0;
}
