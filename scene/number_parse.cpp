// The general conversions, for every form the C library reads: std::from_chars rounds correctly.
// The fast paths for plain decimals are inline in the header.
#include "scene/number_parse.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool IsDigit(char c) {
    return static_cast<unsigned char>(c - '0') < 10;
}

int HexDigitValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// from_chars leaves the value alone when it is out of range; the C library gives ±HUGE_VALF for
// overflow and ±0 (after rounding) for underflow. A double tells which of the two happened.
float OutOfRangeValue(const char* p, const char* end, std::chars_format format) {
    double wide = 0.0;
    const std::from_chars_result r = std::from_chars(p, end, wide, format);
    if (r.ec == std::errc::result_out_of_range) {
        // Beyond even a double: decide by the exponent's sign in the text.
        const bool hex = format == std::chars_format::hex;
        for (const char* q = p; q < end; ++q) {
            if (hex ? (*q == 'p' || *q == 'P') : (*q == 'e' || *q == 'E')) {
                return q + 1 < end && q[1] == '-' ? 0.0f : std::numeric_limits<float>::infinity();
            }
        }
        return std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(wide) == 0.0f ? 0.0f : std::numeric_limits<float>::infinity();
}

}  // namespace

const char* ParseIntGeneral(const char* p, const char* end, std::int32_t& value) {
    const bool negative = p < end && SkipSignIsMinus(p);
    if (p == end || !IsDigit(*p)) return nullptr;
    const unsigned base = IntegerBase(p, end);
    if (base == 16) {
        p += 2;
        if (p == end || HexDigitValue(*p) < 0) return nullptr;
    }
    const std::uint64_t limit = negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1;
    std::uint64_t magnitude = 0;
    bool tooLarge = false;
    for (; p < end; ++p) {
        const int digit = base == 16 ? HexDigitValue(*p) : (IsDigit(*p) ? *p - '0' : -1);
        if (digit < 0 || static_cast<unsigned>(digit) >= base) break;
        magnitude = magnitude * base + static_cast<unsigned>(digit);
        if (magnitude > limit) {
            tooLarge = true;
            magnitude = limit + 1;  // keep consuming digits without overflowing
        }
    }
    if (tooLarge) return nullptr;
    value = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                     : static_cast<std::int32_t>(magnitude);
    return p;
}

const char* ParseFloatGeneral(const char* p, const char* end, float& value) {
    const bool negative = p < end && SkipSignIsMinus(p);
    if (p == end || IsSign(*p)) return nullptr;  // from_chars would take a second '-'
    const bool hex = HasHexPrefix(p, end);
    const char* digits = hex ? p + 2 : p;
    const std::chars_format format = hex ? std::chars_format::hex : std::chars_format::general;
    if (hex && (digits == end || (HexDigitValue(*digits) < 0 && *digits != '.'))) return nullptr;
    float magnitude = 0.0f;
    const std::from_chars_result r = std::from_chars(digits, end, magnitude, format);
    if (r.ec == std::errc::invalid_argument) return nullptr;
    if (r.ec == std::errc::result_out_of_range) magnitude = OutOfRangeValue(digits, r.ptr, format);
    value = negative ? -magnitude : magnitude;
    return r.ptr;
}
