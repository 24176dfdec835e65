#pragma once
// The sample scenes' textures, drawn procedurally: each one tiles without a seam and reads at a
// glance as what it is (brick, paving, planks, grass, marble, sandstone, water, a crate).
#include <cstdint>
#include <string>
#include <vector>

constexpr int kTextureSize = 256;

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // width * height * 3 bytes, top row first
};

// Texture numbers as the map file uses them.
enum TextureId { kBrick, kPaving, kPlanks, kGrass, kMarble, kSandstone, kWater, kCrate, kTextureCount };

// The file name of each texture (spaces included; the extension picks PNG or BMP).
extern const char* const kTextureFileNames[kTextureCount];

Image MakeTexture(TextureId id);

// Writes PNG or BMP by the name's extension; false when the file cannot be written.
bool WriteImage(const std::string& path, const Image& image);
