#pragma once
// Reads image files into 8-bit pixels, top row first.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// The decoder's buffer, freed by it.
struct FreeDecoded {
    void operator()(std::uint8_t* pixels) const;
};

// An image with the channels it was stored with: 1 grey, 2 grey and alpha, 3 RGB, 4 RGBA.
struct StoredImage {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::unique_ptr<std::uint8_t[], FreeDecoded> pixels;  // width * height * channels bytes
};

// From a stream at the image's start, which is left there: the width and height its header gives,
// before any pixel is decoded. False, with the decoder's reason, when it reads no image there.
bool ReadImageSize(std::FILE* stream, int& width, int& height, std::string& why);

// Decodes the image from the stream's position; false with the decoder's reason. No allocation may
// outgrow what the width and height its header declares need, nor twice the file's size.
bool DecodeStoredImage(std::FILE* stream, std::uint64_t fileSize, StoredImage& image, std::string& why);
