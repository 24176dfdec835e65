// Image decoding through Debian's stb_image (included from the system, compiled here once).
#define STB_IMAGE_IMPLEMENTATION
#include "platform/image_decode.h"

#include <stb_image.h>

bool DecodeImageFile(const char* path, DecodedImage& image) {
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load(path, &width, &height, &channels, 4);
    if (pixels == nullptr) {
        return false;
    }
    image.width = width;
    image.height = height;
    image.rgba.assign(pixels,
                      pixels + static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    stbi_image_free(pixels);
    return true;
}
