#pragma once
// A cursor over the map file's text as a text-mode stream delivers it (CR LF reads as one LF),
// with the line number kept for messages.
#include <cstddef>
#include <cstdint>
#include <string>

#include "scene/number_parse.h"

struct MapText {
    const char* fileName;
    const char* p;
    const char* end;
    int line;
};

inline bool IsMapSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Skips white space as "%i" and "%f" do, counting lines.
inline void SkipSpace(MapText& text) {
    // Numbers are nearly always one separator apart.
    if (text.end - text.p >= 2 && IsMapSpace(text.p[0]) && !IsMapSpace(text.p[1])) {
        text.line += text.p[0] == '\n';
        ++text.p;
        return;
    }
    while (text.p < text.end && IsMapSpace(*text.p)) {
        text.line += *text.p == '\n';
        ++text.p;
    }
}

// Writes "file:line: expected <what>, found "<token>"" (or "found end of file") for the text at p.
void ReportExpected(const MapText& text, const char* what);

// Reads one number after white space; white space or the end of the file must follow it, unless
// standsAlone is false. On failure reports what was expected and returns false.
inline bool ReadInt(MapText& text, const char* what, std::int32_t& value, bool standsAlone = true) {
    SkipSpace(text);
    const char* after = ParseInt(text.p, text.end, value);
    if (after == nullptr || (standsAlone && after != text.end && !IsMapSpace(*after))) {
        ReportExpected(text, what);
        return false;
    }
    text.p = after;
    return true;
}

inline bool ReadFloat(MapText& text, const char* what, float& value) {
    SkipSpace(text);
    const char* after = ParseFloat(text.p, text.end, value);
    if (after == nullptr || (after != text.end && !IsMapSpace(*after))) {
        ReportExpected(text, what);
        return false;
    }
    text.p = after;
    return true;
}

// Reads the next character as a text-mode stream would; -1 at end of file.
int NextChar(MapText& text);

// Reports "file:line: message" as one line (platform/report.h).
void ReportAt(const char* fileName, int line, const std::string& message);
// Quotes bytes for a message: printable ASCII as is, the rest as \n, \t, \r or \xNN.
std::string Quote(const char* begin, const char* end);
