// Each bound holds for every file stb_image 2.27 decodes in full; files it reads past their end (as
// zeros) or that carry no pixel data at all fall below it. Only pixel data is counted, so headers
// more than cover the few bits stb reads past the end of a deflate stream.
#include "platform/image_packing.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "platform/byte_order.h"

namespace {

bool StartsWith(const unsigned char* head, std::size_t size, const char* magic) {
    const std::size_t length = std::strlen(magic);
    return size >= length && std::memcmp(head, magic, length) == 0;
}

// Every row starts with a filter byte, interlaced or not (each row has pixels in some pass), and a
// deflate code of 2 bits at least repeats at most 258 bytes: "the maximum compression ratio is
// 1032:1" (zlib's technical details). IHDR has the bit depth at 24, the colour type at 25.
ImageFloor PngFloor(const unsigned char* head, std::size_t size, std::uint64_t width, std::uint64_t height) {
    static const unsigned kChannels[] = {1, 0, 3, 1, 2, 0, 4};
    if (size < 26 || head[25] > 6 || kChannels[head[25]] == 0) return {};
    const std::uint64_t raw = height + (width * height * kChannels[head[25]] * head[24] + 7) / 8;
    return {(raw + 1031) / 1032, "PNG's deflate data expands at most 1032-fold"};
}

// Photoshop: channels at 12, depth at 22, three sections after the 26-byte header, each after its
// 4-byte length, then a 2-byte compression: 0 stored, 1 PackBits, which repeats a byte at most 128
// times in 2 bytes after a 2-byte count for each row of each channel (Adobe Photoshop File Format).
// stb reads up to four channels, PackBits a byte a sample whatever the depth, and fills a channel
// the file lacks: count at least one.
ImageFloor PsdFloor(const unsigned char* head, std::size_t size, std::uint64_t width, std::uint64_t height) {
    if (size < 26) return {};
    const std::uint64_t channels = BigEndian(head + 12, 2);
    const std::uint64_t read = std::clamp<std::uint64_t>(channels, 1, 4);
    std::uint64_t at = 26;
    int section = 0;
    for (; section < 3 && at + 4 <= size; ++section) at += 4 + BigEndian(head + at, 4);
    at += 4 * (3 - section) + 2;  // lengths beyond the head count as empty sections
    const std::uint64_t stored = read * width * height * (BigEndian(head + 22, 2) / 8);
    const std::uint64_t packed = height * channels * 2 + read * ((width * height + 127) / 128 * 2);
    const bool known = section == 3 && at <= size;
    if (known ? BigEndian(head + at - 2, 2) == 0 : stored < packed) return {at + stored};
    return {at + packed, "PSD's PackBits packs at most 128 bytes in 2"};
}

// stb reads a row 8 to 32767 pixels wide that starts with 2, 2 as a 4-byte row header, then each of
// a pixel's 4 bytes in runs of at most 127 pixels in 2 bytes; any other row, and every row after
// it, as 4 bytes a pixel.
ImageFloor HdrFloor(std::uint64_t width, std::uint64_t height) {
    if (width < 8 || width > 32767)
        return {4 * width * height, "Radiance HDR stores 4 bytes a pixel this wide"};
    return {height * (4 + 4 * 2 * ((width + 126) / 127)),
            "Radiance HDR runs pack at most 127 pixels in 2 bytes"};
}

// Softimage PIC: 104 header bytes and a 4-byte packet per group of channels. stb ends runs with
// each row, and a row of a channel takes at least a count and a value: 2 bytes, or 4 past 255
// pixels (a run's 2-byte count), or a stored byte where the row is one pixel. A packet without
// channels reads nothing and fills white: count one channel.
ImageFloor PicFloor(std::uint64_t width, std::uint64_t height) {
    const std::uint64_t row = width == 1 ? 1 : width <= 255 ? 2 : 4;
    return {108 + height * row, "Softimage PIC runs end with each row"};
}

}  // namespace

bool IsPngHeader(const unsigned char* head, std::size_t size) {
    static const unsigned char kPngStart[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n',
                                              0,    0,   0,   13,  'I',  'H',  'D',  'R'};
    return size >= sizeof kPngStart && std::equal(std::begin(kPngStart), std::end(kPngStart), head);
}

ImageFloor PackedImageFloor(const unsigned char* head, std::size_t size, std::uint64_t width,
                            std::uint64_t height) {
    if (IsPngHeader(head, size)) return PngFloor(head, size, width, height);
    // Every 8x8 block of every component costs a bit at least: its DC difference's Huffman code
    // (ITU-T T.81, F.1.2.1). The components sampled at full width and at full height, the same one
    // or two sampled no less than a quarter the other way, have a block per 128 pixels at least.
    if (size >= 2 && head[0] == 0xFF && head[1] == 0xD8) {
        return {(width * height + 1023) / 1024, "JPEG codes each 8x8 block in at least one bit"};
    }
    // LZW codes have at most 12 bits (GIF89a, appendix F), and a code of b bits stands for at most
    // 2^b pixels; stb's 13-bit codes after a 12-bit start give fewer still.
    if (StartsWith(head, size, "GIF8")) {
        return {(width * height * 3 + 8191) / 8192, "GIF's LZW codes give at most 4096 pixels per 12 bits"};
    }
    if (StartsWith(head, size, "8BPS")) return PsdFloor(head, size, width, height);
    if (StartsWith(head, size, "#?RADIANCE\n") || StartsWith(head, size, "#?RGBE\n")) {
        return HdrFloor(width, height);
    }
    if (StartsWith(head, size, "\x53\x80\xF6\x34")) return PicFloor(width, height);
    return {};
}
