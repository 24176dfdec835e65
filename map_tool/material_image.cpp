#include "map_tool/material_image.h"

#include <assimp/scene.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <optional>
#include <stdexcept>

#include "map_tool/image_format.h"
#include "map_tool/png_writer.h"

namespace fs = std::filesystem;

namespace {

constexpr int kColourImageSide = 4;

[[noreturn]] void CannotWrite(const fs::path& path) {
    throw std::runtime_error("cannot write " + path.string());
}

void WritePngOrThrow(const fs::path& path, int width, int height, const std::uint8_t* rgba) {
    if (!WritePng(path, width, height, rgba)) CannotWrite(path);
}

std::string MaterialName(const aiMaterial& material) {
    const std::string name = material.GetName().C_Str();
    return name.empty() ? "unnamed" : name;
}

SlotImage ColourImage(const aiMaterial& material) {
    aiColor4D colour(0.8f, 0.8f, 0.8f, 1.0f);
    if (material.Get(AI_MATKEY_COLOR_DIFFUSE, colour) != aiReturn_SUCCESS) {
        material.Get(AI_MATKEY_BASE_COLOR, colour);
    }
    std::array<std::uint8_t, 4> rgba{};
    const float channels[4] = {colour.r, colour.g, colour.b, colour.a};
    for (int i = 0; i < 4; ++i) {
        rgba[i] = static_cast<std::uint8_t>(std::clamp(channels[i], 0.0f, 1.0f) * 255.0f + 0.5f);
    }
    char hex[9];
    std::snprintf(hex, sizeof hex, "%02x%02x%02x%02x", rgba[0], rgba[1], rgba[2], rgba[3]);
    const std::string name = material.GetName().C_Str();
    return {std::string("colour:") + hex, (name.empty() ? std::string("colour-") + hex : name) + ".png",
            [rgba](const fs::path& path) {
                std::array<std::uint8_t, 4 * kColourImageSide * kColourImageSide> pixels;
                for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = rgba[i % 4];
                WritePngOrThrow(path, kColourImageSide, kColourImageSide, pixels.data());
            }};
}

// The last part of a path written with either separator.
std::string FileNameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::optional<SlotImage> EmbeddedImage(const aiTexture& texture, int index, const fs::path& model,
                                       const std::string& material, std::vector<std::string>& warnings) {
    const std::string hint = texture.achFormatHint;
    std::string wanted = FileNameOf(texture.mFilename.C_Str());
    if (wanted.empty()) wanted = model.stem().string() + "-" + std::to_string(index);
    const std::string key = "embedded:" + std::to_string(index);
    if (texture.mHeight != 0) {
        if (fs::path(wanted).extension() != ".png") wanted += ".png";
        return SlotImage{
            key, wanted, [&texture](const fs::path& path) {
                const std::size_t count = std::size_t{texture.mWidth} * texture.mHeight;
                std::vector<std::uint8_t> rgba(count * 4);
                for (std::size_t i = 0; i < count; ++i) {
                    const aiTexel& t = texture.pcData[i];
                    std::copy_n(std::array<std::uint8_t, 4>{t.r, t.g, t.b, t.a}.begin(), 4, &rgba[i * 4]);
                }
                WritePngOrThrow(path, static_cast<int>(texture.mWidth), static_cast<int>(texture.mHeight),
                                rgba.data());
            }};
    }
    const std::string_view bytes(reinterpret_cast<const char*>(texture.pcData), texture.mWidth);
    if (!fs::path(wanted).has_extension() && !hint.empty()) wanted += "." + hint;
    if (!ViewerReadsImage(bytes.substr(0, kImageSignatureBytes), hint)) {
        warnings.push_back("embedded image " + wanted + " of material " + material +
                           " is not in a format the viewer reads; the material is drawn in its colour");
        return std::nullopt;
    }
    return SlotImage{key, wanted, [bytes](const fs::path& path) {
                         std::ofstream out(path, std::ios::binary);
                         if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush()) {
                             CannotWrite(path);
                         }
                     }};
}

// An external image, looked for as the model names it and then beside the model.
std::optional<SlotImage> ExternalImage(std::string reference, const fs::path& model,
                                       const std::string& material, std::vector<std::string>& warnings) {
    std::replace(reference.begin(), reference.end(), '\\', '/');
    const fs::path named(reference);
    std::error_code error;
    fs::path found = model.parent_path() / named;
    if (!fs::is_regular_file(found, error)) found = model.parent_path() / named.filename();
    if (!fs::is_regular_file(found, error)) {
        warnings.push_back("texture " + reference + " of material " + material +
                           " is not found; the material is drawn in its colour");
        return std::nullopt;
    }
    char first[kImageSignatureBytes] = {};
    std::ifstream in(found, std::ios::binary);
    in.read(first, sizeof first);
    if (!ViewerReadsImage(std::string_view(first, static_cast<std::size_t>(in.gcount())),
                          found.extension().string())) {
        warnings.push_back("texture " + found.string() + " of material " + material +
                           " is not in a format the viewer reads; the material is drawn in its colour");
        return std::nullopt;
    }
    return SlotImage{"file:" + fs::weakly_canonical(found, error).string(), found.filename().string(),
                     [found](const fs::path& path) {
                         std::error_code copyError;
                         if (!fs::copy_file(found, path, copyError)) CannotWrite(path);
                     },
                     found};
}

}  // namespace

SlotImage MaterialImage(const aiScene& scene, unsigned material, const fs::path& model,
                        std::vector<std::string>& warnings) {
    const aiMaterial& chosen = *scene.mMaterials[material];
    aiString reference;
    if (chosen.GetTexture(aiTextureType_DIFFUSE, 0, &reference) != aiReturn_SUCCESS &&
        chosen.GetTexture(aiTextureType_BASE_COLOR, 0, &reference) != aiReturn_SUCCESS) {
        return ColourImage(chosen);
    }
    const auto [embedded, index] = scene.GetEmbeddedTextureAndIndex(reference.C_Str());
    std::optional<SlotImage> image =
        embedded != nullptr ? EmbeddedImage(*embedded, index, model, MaterialName(chosen), warnings)
                            : ExternalImage(reference.C_Str(), model, MaterialName(chosen), warnings);
    return image ? *std::move(image) : ColourImage(chosen);
}
