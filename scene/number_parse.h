#pragma once
// Number conversions with the results of the C library's "%i" and "%f", without its per-call cost.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

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

// How many of the eight characters lead as decimal digits (8 when all are). A byte that is no digit
// gets its high bit set; carries only run towards later bytes, so the lowest such byte is exact.
inline int LeadingDigits(std::uint64_t chunk) {
    const std::uint64_t x = chunk ^ 0x3030303030303030u;
    const std::uint64_t nonDigits = ((x + 0x7676767676767676u) | x) & 0x8080808080808080u;
    return std::countr_zero(nonDigits) >> 3;
}

// The value of the first `count` digits (1 to 8) of the chunk, combined pairwise.
inline std::uint32_t DigitsValue(std::uint64_t chunk, int count) {
    std::uint64_t v = (chunk & 0x0F0F0F0F0F0F0F0Fu) << (8 * (8 - count));
    v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FFu;
    v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFu;
    return static_cast<std::uint32_t>((v * 10000 + (v >> 32)) & 0xFFFFFFFFu);
}

// Enough text ahead that the fast paths may read without checking for the end.
constexpr std::ptrdiff_t kFastPathMargin = 32;

inline constexpr float kPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
inline constexpr std::uint64_t kIntegerPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};

}  // namespace number_parse_detail

// The fast paths: at least kFastPathMargin bytes must follow p. They return nullptr, leaving the
// value undefined, for whatever they do not take; the general conversions then decide.

// Plain decimal integers of up to seven digits: no overflow check needed, and no octal or hex.
inline const char* ParseIntFast(const char* p, std::int32_t& value) {
    using namespace number_parse_detail;
    const std::uint64_t chunk = LoadEight(p);
    const int digits = LeadingDigits(chunk);
    if (digits == 0 || digits == 8 || (*p == '0' && (digits > 1 || (p[1] | 0x20) == 'x'))) return nullptr;
    value = static_cast<std::int32_t>(DigitsValue(chunk, digits));
    return p + digits;
}

// Plain decimals of at most seven digits before and after the point, nine in all, without
// exponent: the digits and the power of ten are exact floats, so one division rounds correctly.
inline const char* ParseFloatFast(const char* p, float& value) {
    using namespace number_parse_detail;
    const bool negative = *p == '-';
    const char* q = p + negative;
    std::uint64_t chunk = LoadEight(q);
    const int whole = LeadingDigits(chunk);
    if (whole == 8) return nullptr;
    std::uint64_t m = whole > 0 ? DigitsValue(chunk, whole) : 0;
    q += whole;
    int fraction = 0;
    if (*q == '.') {
        chunk = LoadEight(++q);
        fraction = LeadingDigits(chunk);
        if (fraction == 8) return nullptr;
        if (fraction > 0) m = m * kIntegerPowersOfTen[fraction] + DigitsValue(chunk, fraction);
        q += fraction;
    }
    const int count = whole + fraction;
    if (count == 0 || count > 9 || m > (std::uint64_t{1} << 24) || (*q | 0x20) == 'e' || (*q | 0x20) == 'x') {
        return nullptr;
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
        if (const char* after = ParseIntFast(p, value)) return after;
    }
    return ParseIntGeneral(p, end, value);
}

// "%f": optional sign, then a decimal number with optional exponent, a hexadecimal float, inf,
// infinity, nan or nan(chars), case-insensitive. Correctly rounded; values beyond the float range
// become ±infinity or ±0 as the C library gives them. Returns the end of the number or nullptr.
inline const char* ParseFloat(const char* p, const char* end, float& value) {
    if (end - p >= number_parse_detail::kFastPathMargin) {
        if (const char* after = ParseFloatFast(p, value)) return after;
    }
    return ParseFloatGeneral(p, end, value);
}
