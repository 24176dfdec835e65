#pragma once
// Numbers as image headers store them, and the largest side a header is believed to declare.
#include <cstdint>

// stb_image's own limit, far beyond any device's textures: products of sides stay below 2^64.
constexpr std::uint64_t kLargestImageSide = std::uint64_t{1} << 24;

inline std::uint32_t LittleEndian(const unsigned char* p, int bytes = 4) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | p[i];
    return value;
}

inline std::uint32_t BigEndian(const unsigned char* p, int bytes = 4) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = (value << 8) | p[i];
    return value;
}
