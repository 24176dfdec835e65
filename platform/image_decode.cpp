// Image decoding through Debian's stb_image (included from the system, compiled here once).
#define STB_IMAGE_IMPLEMENTATION
#include "platform/image_decode.h"

#include <stb_image.h>

#include <climits>

void FreeDecoded::operator()(std::uint8_t* pixels) const {
    stbi_image_free(pixels);
}

bool ReadImageSize(std::FILE* stream, int& width, int& height, std::string& why) {
    int channels = 0;
    if (stbi_info_from_file(stream, &width, &height, &channels) == 0) {
        why = stbi_failure_reason();
        return false;
    }
    // A top-down BMP's height comes as stored, negative; the decoder takes its magnitude.
    if (height < 0) height = height == INT_MIN ? INT_MAX : -height;
    return true;
}

bool DecodeStoredImage(std::FILE* stream, StoredImage& image, std::string& why) {
    // Asking for no particular channel count spares a converted copy of the whole image.
    image.pixels.reset(stbi_load_from_file(stream, &image.width, &image.height, &image.channels, 0));
    if (image.pixels == nullptr) {
        why = stbi_failure_reason();
        return false;
    }
    return true;
}
