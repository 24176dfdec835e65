#pragma once
// A count and its noun, in the one or the many form: "1 vertex", "2 vertices".
#include <cstdint>
#include <string>

inline std::string Counted(std::int64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}
