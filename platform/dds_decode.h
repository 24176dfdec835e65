#pragma once
// DDS pixels into 8-bit RGBA (or RGB where the layout has no alpha), for the viewer's A8R8G8B8
// textures where the device lacks the block format, and for checking a file without a device.
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/dds_image.h"
#include "platform/image_decode.h"

// Reads and decodes the top level from a stream at the file's start.
bool DecodeDds(std::FILE* stream, StoredImage& image, std::string& why);
