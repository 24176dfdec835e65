#pragma once
// Portable float maps ("PF" colour, "Pf" grey): a text header, then 32-bit floats in the byte order
// the scale's sign gives, rows from the bottom. Read into 8 bits as stb_image reads Radiance HDR.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/image_decode.h"

struct PfmHeader {
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    int channels = 0;
    bool littleEndian = false;
    std::uint64_t dataStart = 0;  // the byte after the header's one white-space byte
};

bool IsPfmHeader(const unsigned char* head, std::size_t size);
// False where the head holds no whole, sound header.
bool ReadPfmHeader(const unsigned char* head, std::size_t size, PfmHeader& header);
// The exact length of a file with this header: every float is stored.
std::uint64_t PfmFileBytes(const PfmHeader& header);

// Decodes the whole file from its start, which the caller has checked holds PfmFileBytes.
bool DecodePfm(std::FILE* stream, StoredImage& image, std::string& why);
