// From the reader's result to the scene the device draws.
#include "render/map_load.h"

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/report.h"
#include "platform/texture_cache.h"
#include "scene/map_file.h"

bool LoadMap(IDirect3DDevice9* device, SceneData& scene, MapRead read, TextureCache& cache) {
    scene = SceneData{};
    if (!read.refusal.empty()) {
        ReportLine("%s", read.refusal.c_str());
        return false;
    }
    scene = std::move(read.scene);
    scene.textures.assign(read.names.size(), nullptr);
    if (device == nullptr) return true;  // the geometry alone
    // Each name that fails is warned about once, at its first line, with how many slots name it.
    struct Failure {
        const TextureName* first;
        std::string why;
        int slots;
    };
    std::vector<Failure> failures;
    std::map<std::string_view, std::size_t> failureOfName;
    for (std::size_t k = 0; k < read.names.size(); ++k) {
        const TextureName& name = read.names[k];
        if (name.name.empty()) continue;  // "%%": a slot without an image
        const TextureLoad load = LoadSharedTexture(cache, device, name.name);
        scene.textures[k] = load.texture;
        if (load.texture != nullptr) continue;
        const auto [failure, first] = failureOfName.try_emplace(name.name, failures.size());
        if (first) failures.push_back(Failure{&name, load.why, 0});
        ++failures[failure->second].slots;
    }
    for (const Failure& failure : failures) {
        const std::string& name = failure.first->name;
        const std::string slots =
            failure.slots > 1 ? " (" + std::to_string(failure.slots) + " slots name it)" : std::string();
        ReportLine("%s:%d: warning: cannot load texture %s: %s%s", kMapFileName, failure.first->line,
                   Quote(name.data(), name.data() + name.size()).c_str(), failure.why.c_str(), slots.c_str());
    }
    return true;
}
