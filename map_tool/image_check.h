#pragma once
// The viewer's checks of an image file on its way to a texture, without a device: a typical
// device's largest texture stands in for the one the viewer's device reports.
#include <string>
#include <vector>

#include "platform/regular_file.h"

constexpr int kTypicalMaxTextureSize = 16384;  // GL_MAX_TEXTURE_SIZE on most devices

struct ImageCheck {
    int width = 0;  // as the header declares; 0 and 0 where no header was read
    int height = 0;
    std::string format;                 // a DDS's pixel format ("DXT1"); empty for other images
    std::vector<std::string> problems;  // every reason the viewer would not load it, in its words
};

// Reads the open file's header and, where nothing is wrong with it, decodes the pixels as the
// viewer does; closes the file.
ImageCheck CheckImageFile(RegularFile& file);
