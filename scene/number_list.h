#pragma once
// The long lists' common case, 64 bytes at a time. Where those bytes hold nothing but blanks and
// digits (for floats also '-', '.' and '/', the byte between them, which the conversion refuses),
// where every number ends is known at once, so that each number is converted knowing its length and
// no number waits for the one before it. A number followed by one blank or line end (LF or CR LF) is
// read here; anything else returns false with the cursor as it was, for the general reader. The
// cursor lives in plain locals that the compiler can keep in registers.
#include <bit>
#include <cstdint>

#include "platform/byte_classes.h"
#include "scene/map_text.h"

struct NumberWindow {
    const char* base = nullptr;
    std::uint64_t ends = 0;            // bit i: byte i is a blank right after a number
    const char* quietUntil = nullptr;  // the last window held other bytes: none opens before here
};

// Text needed after a window's start: the window and what the conversions read past it.
constexpr std::ptrdiff_t kNumberWindowMargin = 64 + number_parse_detail::kFastPathMargin;

// The last place a window may open: the end of the text less kNumberWindowMargin.
inline const char* NumberWindowLimit(const MapText& text) {
    return text.end - text.p > kNumberWindowMargin ? text.end - kNumberWindowMargin : text.p;
}

inline bool OpenNumberWindow(NumberWindow& window, const char* p, const char* limit, bool decimals) {
    if (p >= limit || p < window.quietUntil) return false;
    const ByteClasses classes = ClassifyBytes(p);
    if ((classes.blanks | (decimals ? classes.numeric : classes.digits)) != ~std::uint64_t{0}) {
        window.quietUntil = p + 64;
        return false;
    }
    window.base = p;
    window.ends = classes.blanks & ~(classes.blanks << 1);
    return window.ends != 0;
}

// Takes the separator after a number that ends at `end`.
inline bool TakeSeparator(const char* end, const char*& p, int& line) {
    const char next = *end;
    if (next == ' ' || next == '\n') {
        line += next == '\n';
        p = end + 1;
        return true;
    }
    if (next == '\r' && end[1] == '\n') {
        ++line;
        p = end + 2;
        return true;
    }
    return false;
}

// Plain decimal integers of one to seven digits without a leading zero, or a lone 0.
inline bool ReadListedInt(const char*& p, int& line, const char* limit, NumberWindow& window,
                          std::int32_t& value) {
    using namespace number_parse_detail;
    if (window.ends == 0 && !OpenNumberWindow(window, p, limit, false)) return false;
    const char* end = window.base + std::countr_zero(window.ends);
    // Within the window the bytes before `end` are digits, unless p stands on a blank.
    const std::ptrdiff_t length = end - p;
    const unsigned char first = static_cast<unsigned char>(*p);
    if (static_cast<std::size_t>(length - 1) >= 7 || first <= 0x20 || (first == '0' && length > 1))
        return false;
    value = static_cast<std::int32_t>(DigitsValue(LoadEight(p), static_cast<int>(length)));
    if (!TakeSeparator(end, p, line)) return false;
    window.ends &= window.ends - 1;
    return true;
}

// Decimals with at most one point and seven digits (longer ones go through ParseFloatFast).
inline bool ReadListedFloat(const char*& p, int& line, const char* limit, NumberWindow& window,
                            float& value) {
    using namespace number_parse_detail;
    if (window.ends == 0 && !OpenNumberWindow(window, p, limit, true)) return false;
    const char* end = window.base + std::countr_zero(window.ends);
    const bool negative = *p == '-';
    const char* q = p + negative;
    const std::ptrdiff_t length = end - q;
    if (static_cast<std::size_t>(length - 1) < 8) {
        const std::uint64_t chunk = LoadEight(q);
        const std::uint64_t nonDigits = NonDigits(chunk);
        const int whole = FirstByte(nonDigits);
        std::uint64_t m = 0;
        int fraction = 0;
        if (whole >= length) {
            if (length == 8) return false;  // eight digits may pass what a float holds exactly
            m = DigitsValue(chunk, static_cast<int>(length));
        } else {
            // One point and nothing but digits after it up to the end ("5." and ".5" too, not "."):
            // move the whole part one byte up over the point and convert all digits at once (the
            // emptied byte reads as a leading 0).
            if (q[whole] != '.' || FirstByte(nonDigits & (nonDigits - 1)) < length || length == 1)
                return false;
            const std::uint64_t below = ~std::uint64_t{0} >> (56 - 8 * whole);  // bytes 0 to whole
            m = DigitsValue(((chunk << 8) & below) | (chunk & ~below), static_cast<int>(length));
            fraction = static_cast<int>(length) - 1 - whole;
        }
        const float magnitude = static_cast<float>(m) / kPowersOfTen[fraction];
        value = negative ? -magnitude : magnitude;
    } else if (ParseFloatFast(p, value) != end) {
        return false;
    }
    if (!TakeSeparator(end, p, line)) return false;
    window.ends &= window.ends - 1;
    return true;
}
