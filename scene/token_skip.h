#pragma once
// Skipping whole tokens of a long list without converting them, 64 bytes at a time: how a second
// thread finds where a later part of the map starts. A token here is a run of bytes above 0x20, a
// superset of what the reader takes as one, so a place found here is only trusted once the reader
// has arrived at the same place.
#include <cstdint>

struct TextPlace {
    const char* p;
    int line;  // counted as the reader counts: LF, CR LF and a lone CR are one line end each

    friend bool operator==(const TextPlace&, const TextPlace&) = default;
};

// Moves `place` (at a token or a blank) over whole tokens and the blanks after them, onto the start
// of a token: the one after `most` tokens, or the first that starts at `until` or later, whichever
// comes first. Returns the number of tokens passed; when the text ends first, `place` ends there.
std::uint64_t SkipTokens(TextPlace& place, const char* end, std::uint64_t most, const char* until);
