#pragma once
// Number conversions with the results of the C library's "%i" and "%f", without its per-call cost:
// one fast path for the plain decimals maps are made of, one general conversion for every other form.
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
// The longest token the fast paths take: twelve bytes and a sign.
constexpr std::ptrdiff_t kFastTokenMost = 13;

// Up to 10^10 the powers of ten are exact floats (5^10 is below 2^24).
inline constexpr float kPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
inline constexpr std::uint64_t kIntegerPowersOfTen[] = {
    1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000, 10000000000};
constexpr int kMaxFastFraction = 10;

}  // namespace number_parse_detail

// The fast paths take a whole token, p up to tokenEnd, where the caller knows it ends (white space
// or the end of the text); at least kFastPathMargin bytes must follow p. They return false for
// whatever they do not take, which the general conversions then decide.

// Plain decimal integers of one to seven digits, or a lone 0: no overflow check needed, and no octal.
inline bool ParseFast(const char* p, const char* tokenEnd, std::int32_t& value) {
    using namespace number_parse_detail;
    const std::ptrdiff_t length = tokenEnd - p;
    const std::uint64_t chunk = LoadEight(p);
    if (static_cast<std::size_t>(length - 1) >= 7 || LeadingDigits(chunk) < length ||
        (length > 1 && *p == '0')) {
        return false;
    }
    value = static_cast<std::int32_t>(DigitsValue(chunk, static_cast<int>(length)));
    return true;
}

// Plain decimals of at most twelve bytes with at most one point and ten digits after it, whose
// digits make at most 2^24: the digits and the power of ten are exact floats, so one division
// rounds correctly.
inline bool ParseFast(const char* p, const char* tokenEnd, float& value) {
    using namespace number_parse_detail;
    const char* q = p;
    const bool negative = SkipSignIsMinus(q);
    const std::ptrdiff_t length = tokenEnd - q;
    if (static_cast<std::size_t>(length - 1) >= 12) return false;
    const std::uint64_t chunk = LoadEight(q);
    const std::uint64_t nonDigits = NonDigits(chunk);
    const int whole = FirstByte(nonDigits);
    std::uint64_t m = 0;
    int fraction = 0;
    if (whole >= length) {
        m = DigitsValue(chunk, static_cast<int>(length));
    } else if (q[whole] != '.' || length == 1) {
        return false;  // another byte, or a point alone
    } else if (length <= 8) {
        // Nothing but digits after the point ('.' is ASCII, so the next bit is exact): move the whole
        // part one byte up over the point and convert all digits at once (the emptied byte reads as 0).
        if (FirstByte(nonDigits & (nonDigits - 1)) < length) return false;
        const std::uint64_t below = ~std::uint64_t{0} >> (56 - 8 * whole);  // bytes 0 to whole
        m = DigitsValue(((chunk << 8) & below) | (chunk & ~below), static_cast<int>(length));
        fraction = static_cast<int>(length) - 1 - whole;
    } else {
        // The fraction on its own, in up to two chunks of eight.
        fraction = static_cast<int>(length) - 1 - whole;
        if (fraction > kMaxFastFraction) return false;
        const int inFirst = fraction < 8 ? fraction : 8;
        const int inSecond = fraction - inFirst;
        const std::uint64_t first = LoadEight(q + whole + 1);
        const std::uint64_t second = LoadEight(q + whole + 9);
        if (LeadingDigits(first) < inFirst || LeadingDigits(second) < inSecond) return false;
        std::uint64_t digits = inFirst > 0 ? DigitsValue(first, inFirst) : 0;
        if (inSecond > 0) digits = digits * kIntegerPowersOfTen[inSecond] + DigitsValue(second, inSecond);
        m = (whole > 0 ? DigitsValue(chunk, whole) : 0) * kIntegerPowersOfTen[fraction] + digits;
    }
    if (m > (std::uint64_t{1} << 24)) return false;
    const float magnitude = static_cast<float>(m) / kPowersOfTen[fraction];
    value = negative ? -magnitude : magnitude;
    return true;
}

namespace number_parse_detail {

// The end of the token at p when it is short enough for a fast path, else null.
inline const char* ShortTokenEnd(const char* p, const char* end) {
    if (end - p < kFastPathMargin) return nullptr;
    for (const char* q = p; q < p + kFastTokenMost + 1; ++q) {
        if (IsMapSpace(*q)) return q;
    }
    return nullptr;
}

}  // namespace number_parse_detail

// "%i": optional sign, then 0x/0X and hexadecimal digits, a leading 0 and octal digits, or decimal
// digits. Returns the end of the longest such number at p, or nullptr when none starts there or its
// value does not fit a signed 32-bit integer.
inline const char* ParseInt(const char* p, const char* end, std::int32_t& value) {
    const char* tokenEnd = number_parse_detail::ShortTokenEnd(p, end);
    if (tokenEnd != nullptr && ParseFast(p, tokenEnd, value)) return tokenEnd;
    return ParseIntGeneral(p, end, value);
}

// "%f": optional sign, then a decimal number with optional exponent, a hexadecimal float, inf,
// infinity, nan or nan(chars), case-insensitive. Correctly rounded; values beyond the float range
// become ±infinity or ±0 as the C library gives them. Returns the end of the number or nullptr.
inline const char* ParseFloat(const char* p, const char* end, float& value) {
    const char* tokenEnd = number_parse_detail::ShortTokenEnd(p, end);
    if (tokenEnd != nullptr && ParseFast(p, tokenEnd, value)) return tokenEnd;
    return ParseFloatGeneral(p, end, value);
}
