// Texture names to files, as the viewer's texture cache takes them: by name, then by file.
#include "map_tool/texture_check.h"

#include <map>
#include <unordered_map>

#include "platform/file_lookup.h"
#include "platform/regular_file.h"

namespace {

ImageCheck OpenAndCheck(TextureFile& texture, FolderListings& listings,
                        std::map<FileIdentity, ImageCheck>& byFile) {
    RegularFile file;
    const OpenResult opened = OpenRegularFile(texture.name.c_str(), file, listings);
    if (opened.status != OpenStatus::kOk) {
        // Found but refused: the lookup names it, from folders the open has already listed.
        if (opened.status != OpenStatus::kNotFound && opened.status != OpenStatus::kAmbiguous) {
            texture.path = LookUpFile(texture.name, listings).path;
        }
        return ImageCheck{0, 0, "", {WhyNotOpened(opened)}};
    }
    texture.path = file.path;
    if (const auto known = byFile.find(file.identity); known != byFile.end()) {
        CloseRegularFile(file);
        return known->second;
    }
    const FileIdentity identity = file.identity;
    return byFile[identity] = CheckImageFile(file);
}

}  // namespace

std::vector<TextureFile> CheckTextures(const std::vector<TextureName>& names) {
    std::vector<TextureFile> textures;
    std::unordered_map<std::string, std::size_t> byName;
    std::map<FileIdentity, ImageCheck> byFile;
    FolderListings listings;
    for (std::size_t slot = 0; slot < names.size(); ++slot) {
        const TextureName& name = names[slot];
        if (name.name.empty()) continue;  // "%%": a slot without an image
        const auto [known, first] = byName.try_emplace(name.name, textures.size());
        if (first) {
            TextureFile texture;
            texture.name = name.name;
            texture.line = name.line;
            texture.firstSlot = static_cast<std::int32_t>(slot);
            texture.image = OpenAndCheck(texture, listings, byFile);
            textures.push_back(std::move(texture));
        }
        ++textures[known->second].slots;
    }
    return textures;
}
