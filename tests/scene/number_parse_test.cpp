#include "scene/number_parse.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

bool SameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

float Float(const std::string& s) {
    float value = -1.0f;
    const char* end = ParseFloat(s.data(), s.data() + s.size(), value);
    EXPECT_EQ(end, s.data() + s.size()) << s;
    return value;
}

std::int32_t Int(const std::string& s) {
    std::int32_t value = -1;
    const char* end = ParseInt(s.data(), s.data() + s.size(), value);
    EXPECT_EQ(end, s.data() + s.size()) << s;
    return value;
}

bool IntRefused(const std::string& s) {
    std::int32_t value = 0;
    const char* end = ParseInt(s.data(), s.data() + s.size(), value);
    return end != s.data() + s.size();
}

TEST(ParseInt, ReadsSignedDecimalOctalAndHexadecimal) {
    EXPECT_EQ(Int("42"), 42);
    EXPECT_EQ(Int("+7"), 7);
    EXPECT_EQ(Int("-13"), -13);
    EXPECT_EQ(Int("010"), 8);
    EXPECT_EQ(Int("012"), 10);
    EXPECT_EQ(Int("0"), 0);
    EXPECT_EQ(Int("0x10"), 16);
    EXPECT_EQ(Int("0XfF"), 255);
    EXPECT_EQ(Int("-0x10"), -16);
    EXPECT_EQ(Int("2147483647"), 2147483647);
    EXPECT_EQ(Int("-2147483648"), std::numeric_limits<std::int32_t>::min());
}

TEST(ParseInt, StopsWhereTheNumberEndsAndRefusesWhatIsNone) {
    std::int32_t value = 0;
    const std::string octal = "08";
    EXPECT_EQ(ParseInt(octal.data(), octal.data() + 2, value), octal.data() + 1);  // "8" is no octal digit
    EXPECT_EQ(value, 0);
    for (const char* none : {"", "-", "+", "x", "0x", "0xg", " 1", "--1", ".5"}) {
        EXPECT_EQ(ParseInt(none, none + std::strlen(none), value), nullptr) << none;
    }
    EXPECT_TRUE(IntRefused("2147483648"));
    EXPECT_TRUE(IntRefused("-2147483649"));
    EXPECT_TRUE(IntRefused("0x100000000"));
    EXPECT_TRUE(IntRefused("99999999999999999999999"));
}

TEST(ParseFloat, ReadsEveryFormTheCLibraryReads) {
    EXPECT_EQ(Float("1.5"), 1.5f);
    EXPECT_EQ(Float("+.5"), 0.5f);
    EXPECT_EQ(Float("-2."), -2.0f);
    EXPECT_EQ(Float("1e3"), 1000.0f);
    EXPECT_EQ(Float("25E-1"), 2.5f);
    EXPECT_EQ(Float("0x1.8p1"), 3.0f);
    EXPECT_EQ(Float("-0X10"), -16.0f);
    EXPECT_EQ(Float("inf"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(Float("-Infinity"), -std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(Float("nan")));
    EXPECT_TRUE(std::isnan(Float("NaN(123)")));
    EXPECT_TRUE(std::signbit(Float("-0.0")));
    EXPECT_EQ(Float("1e39"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(Float("-1e400"), -std::numeric_limits<float>::infinity());
    EXPECT_TRUE(SameBits(Float("1e-50"), 0.0f));
    EXPECT_TRUE(SameBits(Float("-1e-999"), -0.0f));
    EXPECT_EQ(Float("1e-45"), std::numeric_limits<float>::denorm_min());
}

TEST(ParseFloat, RefusesWhatIsNoNumber) {
    for (const char* none : {"", "-", ".", "e5", "+-1", "0x", "0xp1", "in", "n"}) {
        float value = 0.0f;
        EXPECT_EQ(ParseFloat(none, none + std::strlen(none), value), nullptr) << none;
    }
}

// The C library's strtol/strtof are the reference: every string that they read whole must give the
// same value, bit for bit, and every string they do not read whole must not be read whole here.
TEST(NumberConversions, MatchTheCLibraryOnRandomText) {
    std::mt19937_64 rng(1234);
    const std::string alphabet = "0123456789.eE+-xXpPabcdfinAN";
    // Each string is also checked with text after it, so that the paths which read ahead are used.
    auto check = [](const std::string& bare) {
        for (const std::string& tail : {std::string(), " " + std::string(40, '7')}) {
            const std::string s = bare + tail;
            const char* target = s.c_str() + bare.size();
            char* stop = nullptr;
            errno = 0;
            const float expected = std::strtof(s.c_str(), &stop);
            const bool cWhole = !bare.empty() && stop == target;
            float got = 0.0f;
            const bool whole = ParseFloat(s.data(), s.data() + s.size(), got) == target;
            ASSERT_EQ(whole, cWhole) << '"' << s << '"';
            if (whole && !(std::isnan(got) && std::isnan(expected))) {
                ASSERT_TRUE(SameBits(got, expected)) << s << ": " << got << " vs " << expected;
            }
            errno = 0;
            const long expectedInt = std::strtol(s.c_str(), &stop, 0);
            const bool intWhole = !bare.empty() && stop == target && expectedInt >= INT32_MIN &&
                                  expectedInt <= INT32_MAX && errno != ERANGE;
            std::int32_t gotInt = 0;
            ASSERT_EQ(ParseInt(s.data(), s.data() + s.size(), gotInt) == target, intWhole) << '"' << s << '"';
            if (intWhole) {
                ASSERT_EQ(gotInt, expectedInt) << s;
            }
        }
    };
    for (int i = 0; i < 200000; ++i) {
        std::string s;
        const int length = 1 + static_cast<int>(rng() % 8);
        for (int k = 0; k < length; ++k) s += alphabet[rng() % alphabet.size()];
        check(s);
    }
    char buffer[64];
    for (int i = 0; i < 200000; ++i) {
        float f;
        const std::uint32_t bits = static_cast<std::uint32_t>(rng());
        std::memcpy(&f, &bits, sizeof f);
        std::snprintf(buffer, sizeof buffer, "%.*g", static_cast<int>(1 + rng() % 12),
                      static_cast<double>(f));
        check(buffer);
        std::snprintf(buffer, sizeof buffer, "%a", static_cast<double>(f));
        check(buffer);
        // Digits the float cannot hold and exponents near the ends of its range.
        std::snprintf(buffer, sizeof buffer, "%.20fe%d", static_cast<double>(rng() % 1000) / 7.0,
                      static_cast<int>(rng() % 100) - 60);
        check(buffer);
        // The plain numbers map files are made of, around every digit count the fast paths handle.
        std::snprintf(buffer, sizeof buffer, "%.*f", static_cast<int>(rng() % 9),
                      static_cast<double>(rng() % 200000000) / 1000.0 - 100000.0);
        check(buffer);
        std::snprintf(buffer, sizeof buffer, "%u", static_cast<unsigned>(rng() % 1000000000));
        check(buffer);
        std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(rng()));
        check(buffer);
        std::snprintf(buffer, sizeof buffer, "0%o", static_cast<unsigned>(rng() % 0x7fffffff));
        check(buffer);
    }
}

}  // namespace
