#pragma once
// Number conversions with the results of the C library's "%i" and "%f", without its per-call cost.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "scene/map_rules.h"

// The general conversions, for every form the C library reads.
const char* ParseIntGeneral(const char* p, const char* end, std::int32_t& value);
const char* ParseFloatGeneral(const char* p, const char* end, float& value);

namespace number_parse_detail {

// Eight characters at once, the first in the lowest byte whatever the host's byte order.
inline std::uint64_t LoadEight(const char* p) {
    std::uint64_t chunk = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&chunk, p, sizeof chunk);
    } else {
        for (int i = 7; i >= 0; --i) chunk = (chunk << 8) | static_cast<unsigned char>(p[i]);
    }
    return chunk;
}

// The high bit of each byte that is no decimal digit. Carries only run towards later bytes and only
// from bytes of 0xBA and above, so the lowest set bit is exact, and so is the next after an ASCII
// non-digit.
inline std::uint64_t NonDigits(std::uint64_t chunk) {
    const std::uint64_t x = chunk ^ 0x3030303030303030u;
    return ((x + 0x7676767676767676u) | x) & 0x8080808080808080u;
}

// The index of the byte that holds the lowest set bit (8 when none is set).
inline int FirstByte(std::uint64_t bits) {
    return std::countr_zero(bits) >> 3;
}

// How many of the eight characters lead as decimal digits (8 when all are).
inline int LeadingDigits(std::uint64_t chunk) {
    return FirstByte(NonDigits(chunk));
}

// The value of the first `count` digits (1 to 8) of the chunk: moved to the top, then combined
// pairwise, and the two halves of four at once.
inline std::uint32_t DigitsValue(std::uint64_t chunk, int count) {
    std::uint64_t v = (chunk & 0x0F0F0F0F0F0F0F0Fu) << (8 * (8 - count));
    v = v * 10 + (v >> 8);
    const std::uint64_t pairs = 0x000000FF000000FFu;
    v = ((v & pairs) * (100 + (std::uint64_t{1000000} << 32)) +
         ((v >> 16) & pairs) * (1 + (std::uint64_t{10000} << 32))) >>
        32;
    return static_cast<std::uint32_t>(v);
}

// Enough text ahead that the fast paths may read without checking for the end.
constexpr std::ptrdiff_t kFastPathMargin = 32;

inline constexpr float kPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
inline constexpr std::uint64_t kIntegerPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};

}  // namespace number_parse_detail

// The fast paths: at least kFastPathMargin bytes must follow p. They return the end of the digits,
// or nullptr for whatever they do not take. What they read is the whole number only when what
// follows may end one (EndsNumber); otherwise the general conversions decide.

// Plain decimal integers of one to seven digits, or a lone 0: no overflow check needed, and no octal.
inline const char* ParseIntFast(const char* p, std::int32_t& value) {
    using namespace number_parse_detail;
    const std::uint64_t chunk = LoadEight(p);
    const int digits = LeadingDigits(chunk);
    if (static_cast<unsigned>(digits - 1) >= 7 || (digits > 1 && IntegerBase(p, p + digits) != 10))
        return nullptr;
    value = static_cast<std::int32_t>(DigitsValue(chunk, digits));
    return p + digits;
}

// Plain decimals of at most seven digits before and after the point, nine in all: the digits and
// the power of ten are exact floats, so one division rounds correctly.
inline const char* ParseFloatFast(const char* p, float& value) {
    using namespace number_parse_detail;
    const char* q = p;
    const bool negative = TakeSign(q);
    const std::uint64_t chunk = LoadEight(q);
    const std::uint64_t nonDigits = NonDigits(chunk);
    const int whole = FirstByte(nonDigits);
    const std::uint64_t beyondPoint = nonDigits & (nonDigits - 1);
    std::uint64_t m = 0;
    int fraction = 0;
    if (beyondPoint != 0 && q[whole] == '.') {
        // The number ends within these eight bytes: move the whole part one byte up over the
        // point, then convert all digits at once (the emptied first byte reads as a leading 0).
        const int end = FirstByte(beyondPoint);
        if (end == 1) return nullptr;  // a point alone
        const std::uint64_t below = (std::uint64_t{1} << (8 * (whole + 1))) - 1;
        m = DigitsValue(((chunk << 8) & below) | (chunk & ~below), end);
        fraction = end - 1 - whole;
        q += end;
    } else {
        if (whole == 8) return nullptr;
        m = whole > 0 ? DigitsValue(chunk, whole) : 0;
        q += whole;
        if (*q == '.') {
            const std::uint64_t fractionChunk = LoadEight(++q);
            fraction = LeadingDigits(fractionChunk);
            if (fraction == 8) return nullptr;
            if (fraction > 0) m = m * kIntegerPowersOfTen[fraction] + DigitsValue(fractionChunk, fraction);
            q += fraction;
        }
        if (static_cast<unsigned>(whole + fraction - 1) >= 9 || m > (std::uint64_t{1} << 24)) return nullptr;
    }
    const float magnitude = static_cast<float>(m) / kPowersOfTen[fraction];
    value = negative ? -magnitude : magnitude;
    return q;
}

// "%i": optional sign, then 0x/0X and hexadecimal digits, a leading 0 and octal digits, or decimal
// digits. Returns the end of the longest such number at p, or nullptr when none starts there or its
// value does not fit a signed 32-bit integer.
inline const char* ParseInt(const char* p, const char* end, std::int32_t& value) {
    if (end - p >= number_parse_detail::kFastPathMargin) {
        const char* after = ParseIntFast(p, value);
        if (after != nullptr && EndsNumber(after, end)) return after;
    }
    return ParseIntGeneral(p, end, value);
}

// "%f": optional sign, then a decimal number with optional exponent, a hexadecimal float, inf,
// infinity, nan or nan(chars), case-insensitive. Correctly rounded; values beyond the float range
// become ±infinity or ±0 as the C library gives them. Returns the end of the number or nullptr.
inline const char* ParseFloat(const char* p, const char* end, float& value) {
    if (end - p >= number_parse_detail::kFastPathMargin) {
        const char* after = ParseFloatFast(p, value);
        if (after != nullptr && EndsNumber(after, end)) return after;
    }
    return ParseFloatGeneral(p, end, value);
}
