// The header's numbers are whole decimals (the scale may have a sign, a point and an exponent),
// separated by white space; the pixels are read a row at a time, so no more than the 8-bit image
// and one row of floats is ever held.
#include "platform/pfm_image.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/byte_order.h"

namespace {

bool IsSpace(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// One field after white space; at is left on the byte after it.
bool Field(const unsigned char* head, std::size_t size, std::size_t& at, std::string& text) {
    while (at < size && IsSpace(head[at])) ++at;
    text.clear();
    for (; at < size && !IsSpace(head[at]) && text.size() < 64; ++at) text += static_cast<char>(head[at]);
    return !text.empty() && at < size;
}

bool Whole(const std::string& text, std::uint64_t& value) {
    if (text.find_first_not_of("0123456789") != std::string::npos) return false;
    value = std::strtoull(text.c_str(), nullptr, 10);
    return value > 0 && value <= kLargestImageSide;
}

// As stbi__hdr_to_ldr at its defaults (gamma 1/2.2, scale 1), after clamping to 0–1.
std::uint8_t ToByte(float value) {
    const float clamped = value > 0.0f ? (value < 1.0f ? value : 1.0f) : 0.0f;
    float z = static_cast<float>(std::pow(clamped, 1.0f / 2.2f)) * 255 + 0.5f;
    if (z > 255) z = 255;
    return static_cast<std::uint8_t>(static_cast<int>(z));
}

float FloatAt(const unsigned char* p, bool littleEndian) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= std::uint32_t{p[littleEndian ? i : 3 - i]} << (8 * i);
    float value = 0;
    std::memcpy(&value, &bits, 4);
    return value;
}

}  // namespace

bool IsPfmHeader(const unsigned char* head, std::size_t size) {
    return size >= 3 && head[0] == 'P' && (head[1] == 'F' || head[1] == 'f') && IsSpace(head[2]);
}

bool ReadPfmHeader(const unsigned char* head, std::size_t size, PfmHeader& header) {
    if (!IsPfmHeader(head, size)) return false;
    std::size_t at = 2;
    std::string width, height, scale;
    if (!Field(head, size, at, width) || !Field(head, size, at, height) || !Field(head, size, at, scale) ||
        !Whole(width, header.width) || !Whole(height, header.height)) {
        return false;
    }
    char* end = nullptr;
    const double factor = std::strtod(scale.c_str(), &end);
    if (*end != '\0' || factor == 0.0 || !std::isfinite(factor)) return false;
    header.channels = head[1] == 'F' ? 3 : 1;
    header.littleEndian = factor < 0;
    header.dataStart = at + 1;
    return true;
}

std::uint64_t PfmFileBytes(const PfmHeader& header) {
    return header.dataStart + header.width * header.height * static_cast<std::uint64_t>(header.channels) * 4;
}

bool DecodePfm(std::FILE* stream, StoredImage& image, std::string& why) {
    unsigned char head[256];
    const std::size_t size = std::fread(head, 1, sizeof head, stream);
    PfmHeader header;
    if (!ReadPfmHeader(head, size, header) ||
        std::fseek(stream, static_cast<long>(header.dataStart), SEEK_SET) != 0) {
        why = "damaged PFM header";
        return false;
    }
    const std::size_t rowValues =
        static_cast<std::size_t>(header.width) * static_cast<std::size_t>(header.channels);
    const std::size_t height = static_cast<std::size_t>(header.height);
    image.pixels.reset(static_cast<std::uint8_t*>(std::malloc(rowValues * height)));
    if (image.pixels == nullptr) {
        why = "out of memory";
        return false;
    }
    std::vector<unsigned char> row(rowValues * 4);
    for (std::size_t y = 0; y < height; ++y) {
        if (std::fread(row.data(), 1, row.size(), stream) != row.size()) {
            image.pixels.reset();
            why = "pixel data cut short";
            return false;
        }
        // The file's first row is the image's bottom one.
        std::uint8_t* out = image.pixels.get() + rowValues * (height - 1 - y);
        for (std::size_t i = 0; i < rowValues; ++i)
            out[i] = ToByte(FloatAt(row.data() + 4 * i, header.littleEndian));
    }
    image.width = static_cast<int>(header.width);
    image.height = static_cast<int>(header.height);
    image.channels = header.channels;
    return true;
}
