// stb_image_write's functions stay private to this file, so that nothing else linked with the tool
// (the tests' own copy among them) meets a second definition.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBIW_STATIC
#include "map_tool/png_writer.h"

#include <stb_image_write.h>

bool WritePng(const std::filesystem::path& path, int width, int height, const std::uint8_t* rgba) {
    return stbi_write_png(path.c_str(), width, height, 4, rgba, width * 4) != 0;
}
