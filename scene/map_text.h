#pragma once
// A cursor over the map's text, with the line number kept for messages, and the reading of single
// numbers and characters from it. What it refuses goes into the reading's one Refusal.
#include <cstddef>
#include <cstdint>
#include <string>

#include "scene/map_rules.h"
#include "scene/number_parse.h"

struct Refusal {
    int line = 0;
    std::string message;  // empty while nothing is refused
};

struct MapText {
    const char* p;
    const char* end;
    int line;
    Refusal* refusal;
};

inline void SkipSpace(MapText& text) {
    while (text.p < text.end && IsMapSpace(*text.p)) text.p = StepSpace(text.p, text.end, text.line);
}

// Reads one number after white space; it must end where a number may (EndsNumber), and a float
// must be finite. On failure refuses with what was expected and what stood there, and returns false.
bool ReadNumber(MapText& text, const char* what, std::int32_t& value);
bool ReadNumber(MapText& text, const char* what, float& value);

// The texture count, which anything may follow: the names' own rule judges what comes next.
bool ReadCountBeforeNames(MapText& text, std::int32_t& count);

// Reads the next character as a text-mode stream delivers it (CR LF as one LF); -1 at the end.
int NextChar(MapText& text);

// Skips a UTF-8 byte-order mark at the start of the text; refuses UTF-16 and UTF-32 text.
bool StartText(MapText& text);

// Records "message" as the reading's refusal, at `line`.
void Refuse(const MapText& text, int line, std::string message);
