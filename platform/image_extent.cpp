// Pixel data lengths from image headers: exact for BMP, stored TGA, PNM, PFM and DDS (every mipmap
// level its header declares), the other formats in
// platform/image_packing.cpp. Dimensions beyond stb_image's limit (2^24) are left to it, which
// keeps every product below 2^64.
#include "platform/image_extent.h"

#include <string>

#include "platform/byte_order.h"
#include "platform/dds_image.h"
#include "platform/image_packing.h"
#include "platform/pfm_image.h"

namespace {

bool Plausible(std::uint64_t width, std::uint64_t height) {
    return width > 0 && height > 0 && width <= kLargestImageSide && height <= kLargestImageSide;
}

// Rows of RGB or BI_BITFIELDS pixels, each padded to four bytes; the last row's padding is not
// needed (some writers leave it out).
std::uint64_t BmpBytes(const unsigned char* head, std::size_t size) {
    if (size < 34) return 0;
    const std::uint32_t headerSize = LittleEndian(head + 14, 4);
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    std::uint64_t bits = 0;
    if (headerSize == 12) {
        width = LittleEndian(head + 18, 2);
        height = LittleEndian(head + 20, 2);
        bits = LittleEndian(head + 24, 2);
    } else {
        const std::uint32_t compression = LittleEndian(head + 30, 4);
        if (compression != 0 && compression != 3) return 0;
        // A negative height stores the rows top first.
        const std::int64_t w = static_cast<std::int32_t>(LittleEndian(head + 18, 4));
        const std::int64_t h = static_cast<std::int32_t>(LittleEndian(head + 22, 4));
        width = static_cast<std::uint64_t>(w > 0 ? w : 0);
        height = static_cast<std::uint64_t>(h < 0 ? -h : h);
        bits = LittleEndian(head + 28, 2);
    }
    if (!Plausible(width, height) || bits == 0 || bits > 32) return 0;
    const std::uint64_t row = (width * bits + 31) / 32 * 4;
    return LittleEndian(head + 10, 4) + row * (height - 1) + (width * bits + 7) / 8;
}

// Types 1, 2 and 3 (colour-mapped, true colour, grey) are uncompressed; 9 to 11 are the same
// run-length coded. True where the header has one of them.
bool IsTgaHeader(const unsigned char* head, std::size_t size) {
    if (size < 18 || head[1] > 1) return false;
    const unsigned type = head[2] & ~8u;
    return type >= 1 && type <= 3;
}

ImageFloor TgaFloor(const unsigned char* head, std::size_t size) {
    if (!IsTgaHeader(head, size)) return {};
    const std::uint64_t width = LittleEndian(head + 12, 2);
    const std::uint64_t height = LittleEndian(head + 14, 2);
    if (!Plausible(width, height)) return {};
    const std::uint64_t palette = head[1] == 1 ? LittleEndian(head + 5, 2) * ((head[7] + 7u) / 8) : 0;
    const std::uint64_t start = 18 + head[0] + palette;
    const std::uint64_t pixelBytes = (head[16] + 7u) / 8;
    if (head[2] <= 3) return {start + width * height * pixelBytes};
    // A packet is a count byte and one pixel to repeat or up to 128 to copy (Truevision TGA 2.0).
    return {start + (width * height + 127) / 128 * (1 + pixelBytes),
            "run-length TGA packs at most 128 pixels per packet"};
}

// "P5" (grey) or "P6" (RGB), then width, height and the largest value, with white space and
// comments between them and one white-space byte before the pixels.
std::uint64_t PnmBytes(const unsigned char* head, std::size_t size) {
    std::size_t at = 2;
    std::uint64_t numbers[3] = {0, 0, 0};
    for (std::uint64_t& number : numbers) {
        while (at < size && (head[at] == '#' || head[at] == ' ' || (head[at] >= '\t' && head[at] <= '\r'))) {
            if (head[at] == '#') {
                while (at < size && head[at] != '\n' && head[at] != '\r') ++at;
            } else {
                ++at;
            }
        }
        if (at == size || head[at] < '0' || head[at] > '9') return 0;
        for (; at < size && head[at] >= '0' && head[at] <= '9' && number <= kLargestImageSide; ++at) {
            number = number * 10 + (head[at] - '0');
        }
    }
    if (at == size || !Plausible(numbers[0], numbers[1]) || numbers[2] == 0 || numbers[2] > 65535) return 0;
    const std::uint64_t channels = head[1] == '6' ? 3 : 1;
    return at + 1 + numbers[0] * numbers[1] * channels * (numbers[2] > 255 ? 2 : 1);
}

}  // namespace

ImageFloor FewestImageBytes(const unsigned char* head, std::size_t size, std::uint64_t width,
                            std::uint64_t height) {
    if (size < 2) return {};
    if (head[0] == 'B' && head[1] == 'M') return {BmpBytes(head, size)};
    if (head[0] == 'P' && (head[1] == '5' || head[1] == '6')) return {PnmBytes(head, size)};
    PfmHeader pfm;
    if (ReadPfmHeader(head, size, pfm)) return {PfmFileBytes(pfm)};
    DdsHeader dds;
    std::string why;
    if (ReadDdsHeader(head, size, dds, why)) return {DdsFileBytes(dds)};
    // No other format's magic reads as a TGA header, whose second byte is 0 or 1.
    const ImageFloor packed = PackedImageFloor(head, size, width, height);
    return packed.bytes != 0 ? packed : TgaFloor(head, size);
}

bool DeclaresNoPixels(const unsigned char* head, std::size_t size) {
    if (size >= 24 && IsPngHeader(head, size)) return BigEndian(head + 16) == 0 || BigEndian(head + 20) == 0;
    return IsTgaHeader(head, size) && (LittleEndian(head + 12, 2) == 0 || LittleEndian(head + 14, 2) == 0);
}
