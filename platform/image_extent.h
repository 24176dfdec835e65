#pragma once
// The fewest bytes an image file can have and still hold every pixel its header declares: exactly
// what uncompressed pixel data takes, and for compressed data what the format's best compression
// needs. Decoders read a shorter file as if the missing data were zeros or one long run, and
// allocate all the pixels first, so a file of a few bytes could otherwise cost gigabytes.
#include <cstddef>
#include <cstdint>

struct ImageFloor {
    std::uint64_t bytes = 0;        // 0 where the format does not tell
    const char* packing = nullptr;  // compressed data: the most it packs, in words; null when stored as is
};

// From the file's first bytes (kImageHeadBytes, or the whole file when shorter) and the width and
// height the decoder read from its header (a JPEG's may lie further on).
constexpr std::size_t kImageHeadBytes = 256;
ImageFloor FewestImageBytes(const unsigned char* head, std::size_t size, std::uint64_t width,
                            std::uint64_t height);

// True where a PNG or TGA header declares a width or a height of 0, which their decoder refuses
// without saying so.
bool DeclaresNoPixels(const unsigned char* head, std::size_t size);
