// Writes the textures with Debian's stb_image_write (its implementation is compiled here once).
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "tools/make_courtyard/textures.h"

bool WriteImage(const std::string& path, const Image& image) {
    const bool bmp = path.size() >= 4 && path.compare(path.size() - 4, 4, ".bmp") == 0;
    if (bmp) {
        return stbi_write_bmp(path.c_str(), image.width, image.height, 3, image.rgb.data()) != 0;
    }
    return stbi_write_png(path.c_str(), image.width, image.height, 3, image.rgb.data(), image.width * 3) != 0;
}
