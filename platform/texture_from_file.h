#pragma once
// Textures from image files, with the reason in words when one cannot be made.
// D3DXCreateTextureFromFileA is these two steps.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/d3dx.h"
#include "platform/regular_file.h"

// What stands between an image file and its texture before any pixel is decoded, in the order the
// viewer meets it: an unreadable or empty header, a size beyond the largest texture (whose limit
// the message names), pixel data the file is too short to hold. The viewer stops at the first;
// the map tool, with a typical device's limit, reports them all. The stream is left at its start.
struct ImageProblem {
    std::string why;
    HRESULT result;
};
struct ImageHeader {
    int width = 0;  // 0 and 0 where no header was read
    int height = 0;
    std::vector<ImageProblem> problems;
};
ImageHeader CheckImageHeader(std::FILE* stream, std::uint64_t fileSize, std::uint32_t maxWidth,
                             std::uint32_t maxHeight, const char* whose);

// Makes a managed A8R8G8B8 texture with one level from the open image file, and closes the file; a
// DXT-compressed DDS stays in its format where the device's adapter has it.
// Before any pixel is decoded, the image's size is checked against the device's largest texture
// and the file's length against the fewest bytes that can hold the pixels its header declares;
// decoding may allocate only what those pixels need. On failure *texture is null and why
// says what went wrong.
HRESULT CreateTextureFromImageFile(IDirect3DDevice9* device, RegularFile& file, IDirect3DTexture9** texture,
                                   std::string& why);
