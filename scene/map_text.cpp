// Reading single numbers and characters from the map text, and the messages that refuse it.
#include "scene/map_text.h"

#include <cmath>
#include <cstddef>
#include <utility>

#include "platform/report.h"

namespace {

constexpr std::size_t kMaxQuotedToken = 40;

// Refuses with "expected <what>, found "<token>"<hint>" (or "found end of file").
void RefuseExpected(const MapText& text, const char* what, const char* hint) {
    std::string found = "end of file";
    if (text.p < text.end) {
        const char* tokenEnd = text.p;
        while (tokenEnd < text.end && !IsMapSpace(*tokenEnd) &&
               static_cast<std::size_t>(tokenEnd - text.p) <= kMaxQuotedToken) {
            ++tokenEnd;
        }
        const bool cut = tokenEnd < text.end && !IsMapSpace(*tokenEnd);
        if (cut) --tokenEnd;
        found = Quote(text.p, tokenEnd);
        if (cut) found.insert(found.size() - 1, "...");
        found += hint;
    }
    Refuse(text, text.line, std::string("expected ") + what + ", found " + found);
}

// Why digits that look right are no integer: "08" reads as an octal 0 followed by an 8.
const char* IntegerHint(const MapText& text) {
    const char* p = text.p;
    const bool octal = IntegerBase(p, text.end) == 8 && text.end - p > 1 && (p[1] == '8' || p[1] == '9');
    return octal ? " (a leading 0 makes a number octal)" : "";
}

// "inf" and "nan" as written, or digits beyond what a float holds ("1e39" reads as infinity).
const char* NonFiniteHint(const MapText& text) {
    const char* p = text.p;
    SkipSignIsMinus(p);
    const bool digits = (*p >= '0' && *p <= '9') || *p == '.';
    return digits ? " (beyond the range of a float)" : " (not a finite number)";
}

}  // namespace

bool ReadNumber(MapText& text, const char* what, std::int32_t& value) {
    SkipSpace(text);
    const char* after = ParseInt(text.p, text.end, value);
    if (after == nullptr || !EndsNumber(after, text.end)) {
        RefuseExpected(text, what, IntegerHint(text));
        return false;
    }
    text.p = after;
    return true;
}

bool ReadNumber(MapText& text, const char* what, float& value) {
    SkipSpace(text);
    const char* after = ParseFloat(text.p, text.end, value);
    if (after == nullptr || !EndsNumber(after, text.end)) {
        RefuseExpected(text, what, "");
        return false;
    }
    if (!std::isfinite(value)) {
        RefuseExpected(text, what, NonFiniteHint(text));
        return false;
    }
    text.p = after;
    return true;
}

bool ReadCountBeforeNames(MapText& text, std::int32_t& count) {
    SkipSpace(text);
    const char* after = ParseInt(text.p, text.end, count);
    if (after == nullptr) {
        RefuseExpected(text, "the texture count", IntegerHint(text));
        return false;
    }
    text.p = after;
    return true;
}

int NextChar(MapText& text) {
    if (text.p == text.end) return -1;
    const char* at = text.p;
    if (*at != '\n' && *at != '\r') {
        ++text.p;
        return static_cast<unsigned char>(*at);
    }
    text.p = StepSpace(at, text.end, text.line);
    return text.p - at == 2 ? '\n' : *at;
}

bool StartText(MapText& text) {
    const auto* b = reinterpret_cast<const unsigned char*>(text.p);
    const std::ptrdiff_t size = text.end - text.p;
    if (size >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        text.p += 3;
        return true;
    }
    // A map starts with a number, which UTF-16 and UTF-32 write with zero bytes beside each digit;
    // a zero byte anywhere in the first four bytes could not have been read otherwise.
    const bool utf32Mark = size >= 4 && ((b[0] == 0xFF && b[1] == 0xFE && b[2] == 0 && b[3] == 0) ||
                                         (b[0] == 0 && b[1] == 0 && b[2] == 0xFE && b[3] == 0xFF));
    const bool utf16Mark = size >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF));
    bool zero = false;
    bool twoZeros = false;
    for (std::ptrdiff_t i = 0; i < size && i < 4; ++i) {
        zero = zero || b[i] == 0;
        twoZeros = twoZeros || (i > 0 && b[i] == 0 && b[i - 1] == 0);
    }
    if (!utf32Mark && !utf16Mark && !zero) return true;
    const char* encoding = utf32Mark || (!utf16Mark && twoZeros) ? "UTF-32" : "UTF-16";
    Refuse(text, 1,
           std::string("the map is saved as ") + encoding +
               " text; save it as UTF-8 or plain ASCII text instead (in Notepad: Save As, Encoding UTF-8)");
    return false;
}

void Refuse(const MapText& text, int line, std::string message) {
    text.refusal->line = line;
    text.refusal->message = std::move(message);
}
