#pragma once
// Number conversions with the results of the C library's "%i" and "%f", without its per-call cost.
#include <cstdint>

// "%i": optional sign, then 0x/0X and hexadecimal digits, a leading 0 and octal digits, or decimal
// digits. Returns the end of the longest such number at p, or nullptr when none starts there or its
// value does not fit a signed 32-bit integer.
const char* ParseInt(const char* p, const char* end, std::int32_t& value);

// "%f": optional sign, then a decimal number with optional exponent, a hexadecimal float, inf,
// infinity, nan or nan(chars), case-insensitive. Correctly rounded; values beyond the float range
// become ±infinity or ±0 as the C library gives them. Returns the end of the number or nullptr.
const char* ParseFloat(const char* p, const char* end, float& value);
