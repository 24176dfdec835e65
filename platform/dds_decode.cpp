// Block decoding as Direct3D defines DXT1, DXT3 and DXT5: two RGB 5:6:5 end points and 2-bit
// indices per texel; DXT1 with its first end point no greater than its second has three colours
// and transparent black. DXT3 stores 4-bit alpha, DXT5 two alpha end points and 3-bit indices.
#include "platform/dds_decode.h"

#include <cstdlib>

namespace {

void Expand565(unsigned value, unsigned rgb[3]) {
    const unsigned r = value >> 11;
    const unsigned g = (value >> 5) & 63;
    const unsigned b = value & 31;
    rgb[0] = (r << 3) | (r >> 2);
    rgb[1] = (g << 2) | (g >> 4);
    rgb[2] = (b << 3) | (b >> 2);
}

void ColourBlock(const std::uint8_t* block, bool dxt1, std::uint8_t rgba[64]) {
    const unsigned first = block[0] | (block[1] << 8);
    const unsigned second = block[2] | (block[3] << 8);
    unsigned colours[4][4] = {};
    Expand565(first, colours[0]);
    Expand565(second, colours[1]);
    const bool four = !dxt1 || first > second;
    for (int k = 0; k < 3; ++k) {
        colours[2][k] = four ? (2 * colours[0][k] + colours[1][k]) / 3 : (colours[0][k] + colours[1][k]) / 2;
        colours[3][k] = four ? (colours[0][k] + 2 * colours[1][k]) / 3 : 0;
    }
    colours[0][3] = colours[1][3] = colours[2][3] = 255;
    colours[3][3] = four ? 255 : 0;
    for (int texel = 0; texel < 16; ++texel) {
        const unsigned index = (block[4 + texel / 4] >> (2 * (texel % 4))) & 3;
        for (int k = 0; k < 4; ++k) rgba[4 * texel + k] = static_cast<std::uint8_t>(colours[index][k]);
    }
}

void ExplicitAlpha(const std::uint8_t* block, std::uint8_t rgba[64]) {
    for (int texel = 0; texel < 16; ++texel) {
        rgba[4 * texel + 3] = static_cast<std::uint8_t>(((block[texel / 2] >> (4 * (texel % 2))) & 15) * 17);
    }
}

void InterpolatedAlpha(const std::uint8_t* block, std::uint8_t rgba[64]) {
    const unsigned first = block[0];
    const unsigned second = block[1];
    unsigned alphas[8] = {first, second};
    for (unsigned i = 2; i < 8; ++i) {
        alphas[i] = first > second ? ((8 - i) * first + (i - 1) * second) / 7
                    : i < 6        ? ((6 - i) * first + (i - 1) * second) / 5
                    : i == 6       ? 0
                                   : 255;
    }
    std::uint64_t indices = 0;
    for (int i = 7; i >= 2; --i) indices = (indices << 8) | block[i];
    for (int texel = 0; texel < 16; ++texel) {
        rgba[4 * texel + 3] = static_cast<std::uint8_t>(alphas[(indices >> (3 * texel)) & 7]);
    }
}

// One row of a plain layout into RGBA or RGB.
void PlainRow(DdsLayout layout, const std::uint8_t* in, std::size_t width, std::uint8_t* out) {
    const bool bgr = layout != DdsLayout::kA8B8G8R8 && layout != DdsLayout::kX8B8G8R8;
    const bool alpha = layout == DdsLayout::kA8R8G8B8 || layout == DdsLayout::kA8B8G8R8;
    const std::size_t step = layout == DdsLayout::kR8G8B8 ? 3 : 4;
    for (std::size_t x = 0; x < width; ++x, in += step) {
        *out++ = in[bgr ? 2 : 0];
        *out++ = in[1];
        *out++ = in[bgr ? 0 : 2];
        if (alpha) *out++ = in[3];
    }
}

// The 4x4 texels of one DXT block, row by row, as R, G, B, A.
void DecodeDxtBlock(DdsLayout layout, const std::uint8_t* block, std::uint8_t rgba[64]) {
    if (layout == DdsLayout::kDxt1) {
        ColourBlock(block, true, rgba);
        return;
    }
    ColourBlock(block + 8, false, rgba);
    if (layout == DdsLayout::kDxt3)
        ExplicitAlpha(block, rgba);
    else
        InterpolatedAlpha(block, rgba);
}

// The top level as stored into an image of its own; false only where memory runs out.
bool DecodeDdsLevel(const DdsHeader& header, const std::uint8_t* bytes, StoredImage& image) {
    const std::size_t width = static_cast<std::size_t>(header.width);
    const std::size_t height = static_cast<std::size_t>(header.height);
    const bool compressed = IsBlockCompressed(header.layout);
    const int channels =
        compressed || header.layout == DdsLayout::kA8R8G8B8 || header.layout == DdsLayout::kA8B8G8R8 ? 4 : 3;
    image.pixels.reset(static_cast<std::uint8_t*>(std::malloc(width * height * channels)));
    if (image.pixels == nullptr) return false;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.channels = channels;
    std::uint8_t* out = image.pixels.get();
    if (!compressed) {
        const std::size_t rowBytes = width * (header.layout == DdsLayout::kR8G8B8 ? 3 : 4);
        for (std::size_t y = 0; y < height; ++y)
            PlainRow(header.layout, bytes + rowBytes * y, width, out + width * channels * y);
        return true;
    }
    const std::size_t blockBytes = header.layout == DdsLayout::kDxt1 ? 8 : 16;
    std::uint8_t texels[64];
    for (std::size_t by = 0; by < height; by += 4) {
        for (std::size_t bx = 0; bx < width; bx += 4, bytes += blockBytes) {
            DecodeDxtBlock(header.layout, bytes, texels);
            // Blocks at the right and bottom edges hold texels past the image; they are dropped.
            for (std::size_t y = by; y < by + 4 && y < height; ++y) {
                for (std::size_t x = bx; x < bx + 4 && x < width; ++x) {
                    for (int k = 0; k < 4; ++k)
                        out[(y * width + x) * 4 + k] = texels[((y - by) * 4 + x - bx) * 4 + k];
                }
            }
        }
    }
    return true;
}

}  // namespace

bool DecodeDds(std::FILE* stream, StoredImage& image, std::string& why) {
    DdsHeader header;
    DdsBytes bytes;
    if (!ReadDdsTopLevel(stream, header, bytes, why)) return false;
    if (DecodeDdsLevel(header, bytes.get(), image)) return true;
    why = "out of memory";
    return false;
}
