// Reading numbers and characters from the map text, and the messages that refuse it.
#include "scene/map_text.h"

#include <cstdio>

#include "platform/report.h"
#include "scene/number_parse.h"

namespace {

constexpr std::size_t kMaxQuotedToken = 40;

}  // namespace

void ReportExpected(const MapText& text, const char* what) {
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
        if (text.p[0] == '0' && tokenEnd - text.p > 1 && (text.p[1] == '8' || text.p[1] == '9')) {
            found += " (a leading 0 makes a number octal)";
        }
    }
    ReportAt(text.fileName, text.line, std::string("expected ") + what + ", found " + found);
}

int NextChar(MapText& text) {
    if (text.p == text.end) return -1;
    char c = *text.p++;
    if (c == '\r' && text.p < text.end && *text.p == '\n') c = *text.p++;
    if (c == '\n') ++text.line;
    return static_cast<unsigned char>(c);
}

void ReportAt(const char* fileName, int line, const std::string& message) {
    ReportLine("%s:%d: %s", fileName, line, message.c_str());
}

std::string Quote(const char* begin, const char* end) {
    std::string quoted = "\"";
    for (const char* c = begin; c < end; ++c) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        if (byte == '\n') {
            quoted += "\\n";
        } else if (byte == '\r') {
            quoted += "\\r";
        } else if (byte == '\t') {
            quoted += "\\t";
        } else if (byte == '"' || byte == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(byte);
        } else if (byte < 0x20 || byte >= 0x7f) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            quoted += hex;
        } else {
            quoted += static_cast<char>(byte);
        }
    }
    return quoted + "\"";
}
