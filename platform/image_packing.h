#pragma once
// The fewest bytes a PNG, JPEG, GIF, PSD, Radiance HDR or Softimage PIC file can have, at its
// format's best compression as stb_image reads it.
#include <cstddef>
#include <cstdint>

#include "platform/image_extent.h"

bool IsPngHeader(const unsigned char* head, std::size_t size);

// Bytes 0 where the head is none of those formats; width and height as the decoder read them.
ImageFloor PackedImageFloor(const unsigned char* head, std::size_t size, std::uint64_t width,
                            std::uint64_t height);
