// From the reader's result to the scene the device draws.
#include "render/map_load.h"

#include <utility>

#include "platform/report.h"
#include "platform/texture_cache.h"
#include "scene/map_file.h"

bool LoadMap(IDirect3DDevice9* device, SceneData& scene) {
    return LoadMap(device, scene, ReadMapFile(kMapFileName));
}

bool LoadMap(IDirect3DDevice9* device, SceneData& scene, MapRead read) {
    scene = SceneData{};
    if (!read.refusal.empty()) {
        ReportLine("%s", read.refusal.c_str());
        return false;
    }
    scene = std::move(read.scene);
    scene.textures.assign(read.names.size(), nullptr);
    if (device == nullptr) return true;  // the geometry alone
    TextureCache cache;                  // slots naming one file share its texture
    for (std::size_t k = 0; k < read.names.size(); ++k) {
        const TextureName& name = read.names[k];
        const TextureLoad load = LoadSharedTexture(cache, device, name.name);
        scene.textures[k] = load.texture;
        if (load.texture == nullptr) {
            ReportLine("%s:%d: warning: cannot load texture %s: %s", kMapFileName, name.line,
                       Quote(name.name.data(), name.name.data() + name.name.size()).c_str(),
                       load.why.c_str());
        }
    }
    return true;
}
