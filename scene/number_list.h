#pragma once
// The long lists' common case, 64 bytes at a time. Where those bytes hold nothing but blanks and
// digits (for floats also '-', '.' and '/', the byte between them, which the conversion refuses),
// where every number ends is known at once, so that each number is converted knowing its length and
// no number waits for the one before it. A number followed by one white-space character (CR LF
// counting as one) is read here; anything else goes to the general reader. The list's cursor lives
// in the reading function's locals, so that the compiler can keep it in registers.
#include <bit>
#include <cstdint>

#include "platform/byte_classes.h"
#include "scene/map_text.h"

struct NumberWindow {
    const char* base = nullptr;
    std::uint64_t ends = 0;            // bit i: byte i is a blank right after a number
    const char* quietUntil = nullptr;  // the last window held other bytes: none opens before here
};

struct NumberList {
    const char* p;
    int line;
    const char* end;    // of the text
    const char* limit;  // the last place a window may open
    NumberWindow window;
};

// Text needed after a window's start: the window and what the conversions read past it.
constexpr std::ptrdiff_t kNumberWindowMargin = 64 + number_parse_detail::kFastPathMargin;

// Starts a list at its first number; CloseList hands the cursor back.
inline NumberList OpenList(MapText& text) {
    SkipSpace(text);
    const char* limit = text.end - text.p > kNumberWindowMargin ? text.end - kNumberWindowMargin : text.p;
    return NumberList{text.p, text.line, text.end, limit, NumberWindow{}};
}

inline void CloseList(const NumberList& list, MapText& text) {
    text.p = list.p;
    text.line = list.line;
}

// The window's blanks are every byte up to 0x20, a cheap superset of white space: they only mark
// where numbers may end, and TakeSeparator applies the rule itself.
inline bool OpenNumberWindow(NumberList& list, bool decimals) {
    NumberWindow& window = list.window;
    if (list.p >= list.limit || list.p < window.quietUntil) return false;
    PrefetchBytes(list.p + kPrefetchAhead);
    const ByteClasses classes = ClassifyBytes(list.p);
    if ((classes.blanks | (decimals ? classes.numeric : classes.digits)) != ~std::uint64_t{0}) {
        window.quietUntil = list.p + 64;
        return false;
    }
    window.base = list.p;
    window.ends = classes.blanks & ~(classes.blanks << 1);
    return window.ends != 0;
}

// Takes one white-space character after a number that ends at numberEnd.
inline bool TakeSeparator(NumberList& list, const char* numberEnd) {
    if (!IsMapSpace(*numberEnd)) return false;
    list.p = StepSpace(numberEnd, list.end, list.line);
    list.window.ends &= list.window.ends - 1;
    return true;
}

// Plain decimal integers of one to seven digits, or a lone 0.
inline bool ReadWindowed(NumberList& list, std::int32_t& value) {
    using namespace number_parse_detail;
    if (list.window.ends == 0 && !OpenNumberWindow(list, false)) return false;
    const char* end = list.window.base + std::countr_zero(list.window.ends);
    const char* p = list.p;
    // Within the window the bytes from p to `end` are digits when the first one is.
    const std::ptrdiff_t length = end - p;
    if (static_cast<std::size_t>(length - 1) >= 7 || static_cast<unsigned char>(*p - '0') > 9 ||
        (length > 1 && IntegerBase(p, end) != 10)) {
        return false;
    }
    value = static_cast<std::int32_t>(DigitsValue(LoadEight(p), static_cast<int>(length)));
    return TakeSeparator(list, end);
}

// Decimals with at most one point and seven digits (longer ones go through ParseFloatFast).
inline bool ReadWindowed(NumberList& list, float& value) {
    using namespace number_parse_detail;
    if (list.window.ends == 0 && !OpenNumberWindow(list, true)) return false;
    const char* end = list.window.base + std::countr_zero(list.window.ends);
    const char* q = list.p;
    const bool negative = TakeSign(q);
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
    } else if (ParseFloatFast(list.p, value) != end) {
        return false;
    }
    return TakeSeparator(list, end);
}

// One number of a list: the window's way, or else as a lone number is read, with the white space
// after it.
template <typename Number>
inline bool ReadListed(NumberList& list, MapText& text, const char* what, Number& value) {
    if (ReadWindowed(list, value)) return true;
    CloseList(list, text);
    if (!ReadNumber(text, what, value)) return false;
    SkipSpace(text);
    list.p = text.p;
    list.line = text.line;
    list.window.ends = 0;
    return true;
}
