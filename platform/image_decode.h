#pragma once
// Reads an image file into 8-bit RGBA pixels, top row first.
#include <cstdint>
#include <vector>

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // width * height * 4 bytes
};

// False when the file cannot be read or is not an image stb_image understands.
bool DecodeImageFile(const char* path, DecodedImage& image);
