#pragma once
// The map's token rules, each written once here and used by every tier of the reader: the 64-byte
// windows (number_list.h), the fast and the general conversions (number_parse.h), and the reader of
// single numbers and names (map_text.h).
#include <cstddef>

// White space, as "%i" and "%f" skip it: space, \t, \n, \v, \f and \r.
inline bool IsMapSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Line ends: LF, CR LF and a lone CR are one each. Steps over the white-space character at p (a
// CR LF as one) and counts the line it ends.
inline const char* StepSpace(const char* p, const char* end, int& line) {
    const char c = *p++;
    if (c == '\r' && p < end && *p == '\n') ++p;
    line += c == '\n' || c == '\r';
    return p;
}

// One '+' or '-' may stand before a number. Steps over it at p (there must be a byte there) and
// says whether the number is negative.
inline bool IsSign(char c) {
    return c == '+' || c == '-';
}
inline bool SkipSignIsMinus(const char*& p) {
    if (!IsSign(*p)) return false;
    return *p++ == '-';
}

// Base prefixes: "0x" or "0X" starts a hexadecimal number (an integer, or a float for "%f"); for
// "%i" any other leading 0 starts an octal one. A lone 0 is zero in every base.
inline bool HasHexPrefix(const char* p, const char* end) {
    return end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
}
inline unsigned IntegerBase(const char* p, const char* end) {
    if (HasHexPrefix(p, end)) return 16;
    return p < end && *p == '0' ? 8 : 10;
}

// What may follow a number: white space or the end of the text. Anything else makes the whole
// token something other than a number.
inline bool EndsNumber(const char* after, const char* end) {
    return after == end || IsMapSpace(*after);
}
