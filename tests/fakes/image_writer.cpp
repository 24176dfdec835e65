// Tests write their images with stb_image_write; its implementation is compiled here once.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
