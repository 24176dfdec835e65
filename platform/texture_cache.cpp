// Sharing textures between the slots that name one file.
#include "platform/texture_cache.h"

#include "platform/texture_from_file.h"

namespace {

TextureLoad Share(const TextureLoad& load) {
    if (load.texture != nullptr) load.texture->AddRef();
    return load;
}

}  // namespace

TextureLoad LoadSharedTexture(TextureCache& cache, IDirect3DDevice9* device, const std::string& name) {
    if (const auto known = cache.byName.find(name); known != cache.byName.end()) return Share(known->second);
    TextureLoad load;
    RegularFile file;
    const OpenResult opened = OpenRegularFile(name.c_str(), file, cache.folders);
    if (opened.status != OpenStatus::kOk) {
        load.why = WhyNotOpened(opened);
        return cache.byName[name] = load;
    }
    if (const auto known = cache.byFile.find(file.identity); known != cache.byFile.end()) {
        CloseRegularFile(file);
        return Share(cache.byName[name] = known->second);
    }
    const FileIdentity identity = file.identity;
    load.source = WatchOf(file);
    CreateTextureFromImageFile(device, file, &load.texture, load.why);
    return cache.byName[name] = cache.byFile[identity] = load;
}
