// Header fields as the DirectX documentation lays out DDS_HEADER and DDS_PIXELFORMAT, counted from
// the file's start (after the 4-byte magic).
#include "platform/dds_image.h"

#include <cstdlib>
#include <cstring>

#include "platform/byte_order.h"

namespace {

constexpr std::uint32_t kMipMapCountFlag = 0x20000;
constexpr std::uint32_t kDepthFlag = 0x800000;
constexpr std::uint32_t kAlphaPixels = 0x1;
constexpr std::uint32_t kFourCcFlag = 0x4;
constexpr std::uint32_t kRgbFlag = 0x40;
constexpr std::uint32_t kCubeMap = 0x200;
constexpr std::uint32_t kVolume = 0x200000;

constexpr std::uint32_t FourCc(const char (&code)[5]) {
    return std::uint32_t{static_cast<unsigned char>(code[0])} |
           (std::uint32_t{static_cast<unsigned char>(code[1])} << 8) |
           (std::uint32_t{static_cast<unsigned char>(code[2])} << 16) |
           (std::uint32_t{static_cast<unsigned char>(code[3])} << 24);
}

bool Layout(const unsigned char* head, DdsLayout& layout, std::string& why) {
    const std::uint32_t flags = LittleEndian(head + 80);
    const std::uint32_t fourCc = LittleEndian(head + 84);
    if ((flags & kFourCcFlag) != 0) {
        if (fourCc == FourCc("DXT1"))
            layout = DdsLayout::kDxt1;
        else if (fourCc == FourCc("DXT3"))
            layout = DdsLayout::kDxt3;
        else if (fourCc == FourCc("DXT5"))
            layout = DdsLayout::kDxt5;
        else {
            std::string code;
            for (int i = 0; i < 4; ++i) {
                const char c = static_cast<char>(head[84 + i]);
                code += c >= ' ' && c <= '~' ? c : '?';
            }
            why = "a DDS pixel format the viewer does not read (" + code + ")";
            return false;
        }
        return true;
    }
    const std::uint32_t bits = LittleEndian(head + 88);
    const std::uint32_t red = LittleEndian(head + 92);
    const std::uint32_t green = LittleEndian(head + 96);
    const std::uint32_t blue = LittleEndian(head + 100);
    const bool alpha = (flags & kAlphaPixels) != 0 && LittleEndian(head + 104) == 0xFF000000u;
    if ((flags & kRgbFlag) != 0 && green == 0xFF00) {
        if (bits == 32 && red == 0xFF0000 && blue == 0xFF) {
            layout = alpha ? DdsLayout::kA8R8G8B8 : DdsLayout::kX8R8G8B8;
            return true;
        }
        if (bits == 32 && red == 0xFF && blue == 0xFF0000) {
            layout = alpha ? DdsLayout::kA8B8G8R8 : DdsLayout::kX8B8G8R8;
            return true;
        }
        if (bits == 24 && red == 0xFF0000 && blue == 0xFF) {
            layout = DdsLayout::kR8G8B8;
            return true;
        }
    }
    why = "a DDS pixel format the viewer does not read (" + std::to_string(bits) +
          "-bit, not DXT1, DXT3, DXT5 or 8 bits a colour)";
    return false;
}

std::uint64_t LevelBytes(DdsLayout layout, std::uint64_t width, std::uint64_t height) {
    switch (layout) {
        case DdsLayout::kDxt1:
            return (width + 3) / 4 * ((height + 3) / 4) * 8;
        case DdsLayout::kDxt3:
        case DdsLayout::kDxt5:
            return (width + 3) / 4 * ((height + 3) / 4) * 16;
        case DdsLayout::kR8G8B8:
            return width * height * 3;
        default:
            return width * height * 4;
    }
}

}  // namespace

bool IsDdsHeader(const unsigned char* head, std::size_t size) {
    return size >= 4 && std::memcmp(head, "DDS ", 4) == 0;
}

bool ReadDdsHeader(const unsigned char* head, std::size_t size, DdsHeader& header, std::string& why) {
    if (!IsDdsHeader(head, size) || size < kDdsHeaderBytes || LittleEndian(head + 4) != 124 ||
        LittleEndian(head + 76) != 32) {
        why = "a damaged DDS header";
        return false;
    }
    const std::uint32_t flags = LittleEndian(head + 8);
    const std::uint32_t caps2 = LittleEndian(head + 112);
    if ((caps2 & kCubeMap) != 0) {
        why = "a DDS cube map: the viewer reads 2-D textures only";
        return false;
    }
    if ((caps2 & kVolume) != 0 || ((flags & kDepthFlag) != 0 && LittleEndian(head + 24) > 1)) {
        why = "a DDS volume texture: the viewer reads 2-D textures only";
        return false;
    }
    if (!Layout(head, header.layout, why)) return false;
    header.height = LittleEndian(head + 12);
    header.width = LittleEndian(head + 16);
    if (header.width > kLargestImageSide || header.height > kLargestImageSide) {
        why = "a damaged DDS header (" + std::to_string(header.width) + "x" + std::to_string(header.height) +
              ")";
        return false;
    }
    // A chain may stop before 1x1, never go past it.
    std::uint64_t possible = 1;
    for (std::uint64_t side = header.width > header.height ? header.width : header.height; side > 1;
         side /= 2) {
        ++possible;
    }
    const std::uint64_t declared = (flags & kMipMapCountFlag) != 0 ? LittleEndian(head + 28) : 1;
    header.levels = declared == 0 ? 1 : declared < possible ? declared : possible;
    return true;
}

const char* DdsLayoutName(DdsLayout layout) {
    static const char* const kNames[] = {"DXT1",     "DXT3",   "DXT5",     "A8R8G8B8",
                                         "X8R8G8B8", "R8G8B8", "A8B8G8R8", "X8B8G8R8"};
    return kNames[static_cast<int>(layout)];
}

bool PeekDdsHeader(std::FILE* stream, DdsHeader& header, std::string& why) {
    unsigned char head[kDdsHeaderBytes];
    const std::size_t size = std::fread(head, 1, sizeof head, stream);
    std::fseek(stream, 0, SEEK_SET);
    return ReadDdsHeader(head, size, header, why);
}

bool IsBlockCompressed(DdsLayout layout) {
    return layout == DdsLayout::kDxt1 || layout == DdsLayout::kDxt3 || layout == DdsLayout::kDxt5;
}

std::uint64_t DdsFileBytes(const DdsHeader& header) {
    std::uint64_t total = kDdsHeaderBytes;
    std::uint64_t width = header.width;
    std::uint64_t height = header.height;
    for (std::uint64_t level = 0; level < header.levels; ++level) {
        total += LevelBytes(header.layout, width, height);
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
    }
    return total;
}

bool ReadDdsTopLevel(std::FILE* stream, DdsHeader& header, DdsBytes& bytes, std::string& why) {
    unsigned char head[kDdsHeaderBytes];
    const std::size_t size = std::fread(head, 1, sizeof head, stream);
    if (!ReadDdsHeader(head, size, header, why)) return false;
    const std::size_t length =
        static_cast<std::size_t>(LevelBytes(header.layout, header.width, header.height));
    bytes.reset(static_cast<std::uint8_t*>(std::malloc(length)));
    if (bytes == nullptr) {
        why = "out of memory";
        return false;
    }
    if (std::fread(bytes.get(), 1, length, stream) != length) {
        bytes.reset();
        why = "pixel data cut short";
        return false;
    }
    return true;
}
