#include "platform/byte_classes.h"

#include <gtest/gtest.h>

#include <random>

namespace {

ByteClasses ClassifyOneByOne(const unsigned char* bytes) {
    ByteClasses classes{0, 0, 0};
    for (int i = 0; i < 64; ++i) {
        const std::uint64_t bit = std::uint64_t{1} << i;
        const unsigned char c = bytes[i];
        if (c <= 0x20) classes.blanks |= bit;
        if (c >= '0' && c <= '9') classes.digits |= bit;
        if (c >= '-' && c <= '9') classes.numeric |= bit;
    }
    return classes;
}

// Every byte value, at every position, next to bytes that could carry or borrow into it.
TEST(ClassifyBytes, BothWaysSortEveryByteAsOneByOne) {
    std::mt19937 rng(5);
    const unsigned char neighbours[] = {0x00, 0x0A, 0x0D, 0x20, 0x21, 0x2D, 0x2F,
                                        0x30, 0x39, 0x3A, 0x7F, 0x80, 0xBA, 0xFF};
    unsigned char bytes[64];
    for (int round = 0; round < 3000; ++round) {
        for (unsigned char& b : bytes) {
            b = round % 2 == 0 ? static_cast<unsigned char>(rng()) : neighbours[rng() % sizeof neighbours];
        }
        bytes[round % 64] = static_cast<unsigned char>(round);
        const ByteClasses expected = ClassifyOneByOne(bytes);
        const char* text = reinterpret_cast<const char*>(bytes);
        for (const ByteClasses& got : {ClassifyBytes(text), ClassifyBytesPortable(text)}) {
            ASSERT_EQ(got.blanks, expected.blanks) << round;
            ASSERT_EQ(got.digits, expected.digits) << round;
            ASSERT_EQ(got.numeric, expected.numeric) << round;
        }
    }
}

}  // namespace
