#pragma once
// A cursor over the map file's text, with the line number kept for messages, and the reading of
// single numbers and characters from it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "scene/map_rules.h"
#include "scene/number_parse.h"

struct MapText {
    const char* fileName;
    const char* p;
    const char* end;
    int line;
    bool quiet;  // read ahead on another thread: what it refuses is reported only if read again
};

inline void SkipSpace(MapText& text) {
    while (text.p < text.end && IsMapSpace(*text.p)) text.p = StepSpace(text.p, text.end, text.line);
}

// Reads one number after white space; it must end where a number may (EndsNumber), and a float
// must be finite. On failure reports what was expected and what stood there, and returns false.
bool ReadNumber(MapText& text, const char* what, std::int32_t& value);
bool ReadNumber(MapText& text, const char* what, float& value);

// The texture count, which anything may follow: the names' own rule judges what comes next.
bool ReadCountBeforeNames(MapText& text, std::int32_t& count);

// Reads the next character as a text-mode stream delivers it (CR LF as one LF); -1 at the end.
int NextChar(MapText& text);

// Skips a UTF-8 byte-order mark at the start of the text; refuses UTF-16 and UTF-32 text.
bool StartText(MapText& text);

// The fewest bytes one record can take, separator included: counts beyond what the rest of the
// file can hold are refused before anything is allocated for them.
constexpr std::ptrdiff_t kMinTriangleBytes = 8;
constexpr std::ptrdiff_t kMinVertexBytes = 10;
constexpr std::ptrdiff_t kMinNameBytes = 2;
constexpr std::int32_t kMaxTriangleCount = 0x7fffffff / 3;  // indexCount must fit too

// Refuses a count read at `line` that is negative, above maxCount, or more records of minBytes
// than the rest of the text holds.
bool CheckCount(const MapText& text, int line, const char* what, std::int32_t count, std::ptrdiff_t minBytes,
                std::int32_t maxCount);

// Reports "file:line: message" as one line (platform/report.h), unless the text is read quietly.
void ReportAt(const MapText& text, int line, const std::string& message);
// Quotes bytes for a message: printable ASCII as is, the rest as \n, \t, \r or \xNN.
std::string Quote(const char* begin, const char* end);
