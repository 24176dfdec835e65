#pragma once
// A cursor over the map file's text as a text-mode stream delivers it (CR LF reads as one LF),
// with the line number kept for messages.
#include <cstddef>
#include <cstdint>
#include <string>

struct MapText {
    const char* fileName;
    const char* p;
    const char* end;
    int line;
};

// Skips white space as "%i" and "%f" do, counting lines.
void SkipSpace(MapText& text);

// Reads one number after white space. On failure writes
//   "file:line: expected <what>, found "<token>"" (or "found end of file") and returns false.
bool ReadInt(MapText& text, const char* what, std::int32_t& value);
bool ReadFloat(MapText& text, const char* what, float& value);
// As ReadInt, but the number may run straight into what follows (the texture names' rules read it).
bool ReadIntPrefix(MapText& text, const char* what, std::int32_t& value);

// Reads the next character as a text-mode stream would; -1 at end of file.
int NextChar(MapText& text);

// Writes "file:line: message" to stderr.
void ReportAt(const char* fileName, int line, const std::string& message);
// Quotes bytes for a message: printable ASCII as is, the rest as \n, \t, \r or \xNN.
std::string Quote(const char* begin, const char* end);
