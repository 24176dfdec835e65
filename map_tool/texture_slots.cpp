#include "map_tool/texture_slots.h"

#include <assimp/scene.h>

#include <map>

#include "map_tool/material_image.h"
#include "map_tool/texture_names.h"

TextureSlots MakeTextureSlots(const aiScene& scene, const std::filesystem::path& model,
                              const std::filesystem::path& folder, std::vector<MapTriangle>& triangles) {
    TextureSlots slots;
    TextureNames names;
    std::map<std::string, std::int32_t> slotOfImage;
    std::vector<std::int32_t> slotOfMaterial(scene.mNumMaterials, -1);
    for (MapTriangle& triangle : triangles) {
        std::int32_t& slot = slotOfMaterial[static_cast<std::size_t>(triangle.texture)];
        if (slot < 0) {
            const SlotImage image =
                MaterialImage(scene, static_cast<unsigned>(triangle.texture), model, slots.warnings);
            const auto [known, isNew] =
                slotOfImage.try_emplace(image.key, static_cast<std::int32_t>(slots.names.size()));
            if (isNew) {
                slots.names.push_back(names.Claim(image.wanted));
                image.write(folder / slots.names.back());
                if (!image.source.empty()) slots.copied.push_back(image.source.string());
            }
            slot = known->second;
        }
        triangle.texture = slot;
    }
    return slots;
}
