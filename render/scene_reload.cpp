// Making the scene again from its files, and following them.
#include "render/scene_reload.h"

#include <cstddef>
#include <set>
#include <string_view>
#include <utility>

#include "platform/report.h"
#include "render/map_load.h"
#include "scene/map_file.h"
#include "scene/normals.h"

SceneSource gSource;

namespace {

void ReleaseTextures(std::vector<IDirect3DTexture9*>& textures) {
    for (IDirect3DTexture9*& texture : textures) ReleaseOnce(texture);
}

// The textures of the scene drawn that the new map names and whose files are as they were when
// they were made. A name that opened no file is looked up again; one the map no longer names is
// left out, as its texture goes with the old scene.
TextureCache UnchangedTextures(const std::vector<TextureName>& names) {
    TextureCache cache;
    for (const TextureName& name : names) {
        const auto known = gSource.textures.find(name.name);
        if (known == gSource.textures.end() || cache.byName.contains(name.name)) continue;
        const TextureLoad& load = known->second;
        if (!load.source.path.empty() && StampOf(load.source.path) == load.source.read)
            cache.byName.emplace(name.name, load);
    }
    return cache;
}

// The first name that leads to a file, as the map writes it.
std::string NameOf(const std::string& path) {
    for (const auto& [name, load] : gSource.textures) {
        if (load.source.path == path) return name;
    }
    return path;
}

}  // namespace

void KeepSceneSource(const WatchedFile& map, const TextureCache& cache) {
    gSource.files.assign(1, map);
    gSource.textures = cache.byName;
    std::set<std::string_view> paths;  // one watch for a file however many names lead to it
    for (const auto& [name, load] : gSource.textures) {
        if (!load.source.path.empty() && paths.insert(load.source.path).second)
            gSource.files.push_back(load.source);
    }
}

RebuildResult RebuildScene(MapRead read) {
    if (!read.refusal.empty()) return {Rebuild::kRefused, std::move(read.refusal), {}};
    const WatchedFile map = read.source;
    TextureCache cache = UnchangedTextures(read.names);
    SceneData next;
    LoadMap(gRender.device, next, std::move(read), cache);
    GenerateNormals(next);
    SceneBuffers buffers = MakeSceneBuffers(next);
    RebuildResult made{Rebuild::kDone, std::move(buffers.refusal), buffers.step};
    if (!made.refusal.empty()) {
        made.result = Rebuild::kRefused;
    } else if (made.step.failed != nullptr) {
        made.result = made.step.result == D3DERR_DEVICELOST ? Rebuild::kDeviceLost : Rebuild::kFailed;
    } else {
        std::swap(gRender.indexBuffer, buffers.indices);
        std::swap(gRender.vertexBuffer, buffers.vertices);
        std::swap(gScene, next);
        KeepSceneSource(map, cache);
    }
    // Whichever scene is not drawn now: the old one, or what was made of the new.
    ReleaseOnce(buffers.vertices);
    ReleaseOnce(buffers.indices);
    ReleaseTextures(next.textures);
    return made;
}

void FollowSceneFiles() {
    if (gRender.lost) return;  // the device's recovery reads the files as they are then
    const std::vector<std::size_t> changed = SettledChanges(gSource.files);
    if (changed.empty()) return;
    std::vector<std::string> images;
    for (const std::size_t k : changed) {
        if (k != 0) images.push_back(NameOf(gSource.files[k].path));
    }
    const RebuildResult rebuilt = RebuildScene(ReadTheMap());
    if (rebuilt.result == Rebuild::kDone) {
        SetSceneBuffers();
        if (changed.front() == 0) {
            ReportLine("%s: reloaded: %d triangle%s, %d texture%s", kMapFileName, gScene.triangleCount,
                       gScene.triangleCount == 1 ? "" : "s", gScene.textureCount,
                       gScene.textureCount == 1 ? "" : "s");
            return;
        }
        for (const std::string& image : images) ReportLine("%s: reloaded", image.c_str());
        return;
    }
    if (rebuilt.result == Rebuild::kDeviceLost) {
        gRender.lost = true;  // its recovery makes the scene from the files as they are then
        return;
    }
    // The change is taken as seen, so the line comes once; the next change tries again.
    for (const std::size_t k : changed) gSource.files[k].read = gSource.files[k].seen;
    if (rebuilt.result == Rebuild::kRefused) {
        ReportLine("%s (still showing the previous map)", rebuilt.refusal.c_str());
    } else {
        ReportLine("vellmora: %s cannot be reloaded: %s failed (0x%08lX) (still showing the previous map)",
                   kMapFileName, rebuilt.step.failed,
                   static_cast<unsigned long>(static_cast<DWORD>(rebuilt.step.result)));
    }
}
