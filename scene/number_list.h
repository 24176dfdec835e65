#pragma once
// The long lists' common case, 64 bytes at a time. Where those bytes hold nothing but blanks and
// digits (for floats also '-', '.' and '/', the byte between them, which the conversion refuses),
// where every number ends is known at once, and each goes to the fast conversion knowing its length.
// A number followed by one white-space character (CR LF counting as one) is read here; anything
// else goes to the reader of lone numbers. The list's cursor lives in the reading function's
// locals, so that the compiler can keep it in registers.
#include <bit>
#include <cstdint>
#include <type_traits>

#include "platform/byte_classes.h"
#include "scene/map_text.h"

struct NumberWindow {
    const char* base = nullptr;
    std::uint64_t ends = 0;                // bit i: byte i is a blank right after a number
    const char* noWindowBefore = nullptr;  // the last window held other bytes: none opens before here
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
    if (list.p >= list.limit || list.p < window.noWindowBefore) return false;
    PrefetchBytes(list.p + kPrefetchAhead);
    const ByteClasses classes = ClassifyBytes(list.p);
    if ((classes.blanks | (decimals ? classes.numeric : classes.digits)) != ~std::uint64_t{0}) {
        window.noWindowBefore = list.p + 64;
        return false;
    }
    window.base = list.p;
    window.ends = classes.blanks & ~(classes.blanks << 1);
    return window.ends != 0;
}

// The number at the list's cursor, read with the fast conversion where the window knows its end,
// and the one white-space character after it.
template <typename Number>
inline bool ReadWindowed(NumberList& list, Number& value) {
    if (list.window.ends == 0 && !OpenNumberWindow(list, std::is_same_v<Number, float>)) return false;
    const char* end = list.window.base + std::countr_zero(list.window.ends);
    if (!ParseFast(list.p, end, value) || !IsMapSpace(*end)) return false;
    list.p = StepSpace(end, list.end, list.line);
    list.window.ends &= list.window.ends - 1;
    return true;
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
