#pragma once
// Sorts 64 bytes of text at once into the classes a list of numbers is made of, one bit per byte
// (bit i for byte i). With SSE2 (every x86-64 processor) sixteen bytes take a few instructions;
// elsewhere the same masks come from 64-bit arithmetic.
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define VELLMORA_BYTE_CLASSES_SSE2 1
#endif

constexpr std::ptrdiff_t kPrefetchAhead = 4096;  // see PrefetchBytes

struct ByteClasses {
    std::uint64_t blanks;   // bytes up to 0x20: white space and control characters
    std::uint64_t digits;   // '0' to '9'
    std::uint64_t numeric;  // '-' to '9': digits, '.', '-' and '/'
};

// The high bit of every byte of x in low ... low + span (span < 0x80), without carries between bytes.
inline std::uint64_t ByteRange8(std::uint64_t x, unsigned low, unsigned span) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHigh = 0x8080808080808080u;
    const std::uint64_t atLeast = ((x | kHigh) - low * kOnes) & kHigh;  // x & 0x7F >= low
    const std::uint64_t above =
        ((x & ~kHigh) + (0x7F - low - span) * kOnes) & kHigh;  // x & 0x7F > low + span
    return atLeast & ~above & ~x & kHigh;
}

// One bit per byte, gathered into the top byte (the partial products never share a bit).
inline std::uint64_t GatherHighBits(std::uint64_t high) {
    return ((high >> 7) * 0x0102040810204080u) >> 56;
}

// The same from 64-bit arithmetic, for processors without SSE2.
inline ByteClasses ClassifyBytesPortable(const char* p) {
    ByteClasses classes{0, 0, 0};
    for (int i = 0; i < 8; ++i) {
        std::uint64_t x = 0;
        for (int k = 7; k >= 0; --k) x = (x << 8) | static_cast<unsigned char>(p[8 * i + k]);
        const int shift = 8 * i;
        classes.blanks |= GatherHighBits(ByteRange8(x, 0, 0x20)) << shift;
        classes.digits |= GatherHighBits(ByteRange8(x, '0', 9)) << shift;
        classes.numeric |= GatherHighBits(ByteRange8(x, '-', 12)) << shift;
    }
    return classes;
}

#ifdef VELLMORA_BYTE_CLASSES_SSE2

// Unsigned "byte - low <= span" for every byte: the minimum equals the byte only when it is in range.
inline int ByteRange16(__m128i bytes, char low, char span) {
    const __m128i offset = _mm_sub_epi8(bytes, _mm_set1_epi8(low));
    return _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(span)), offset));
}

inline ByteClasses ClassifyBytes(const char* p) {
    ByteClasses classes{0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
        const int shift = 16 * i;
        classes.blanks |= static_cast<std::uint64_t>(static_cast<std::uint16_t>(ByteRange16(bytes, 0, 0x20)))
                          << shift;
        classes.digits |= static_cast<std::uint64_t>(static_cast<std::uint16_t>(ByteRange16(bytes, '0', 9)))
                          << shift;
        classes.numeric |= static_cast<std::uint64_t>(static_cast<std::uint16_t>(ByteRange16(bytes, '-', 12)))
                           << shift;
    }
    return classes;
}

// Asks for the cache line at p ahead of its use: reading a long text, the processor's own
// prefetching stops at every 4 KiB page and leaves the loop waiting on memory. Readers ask for the
// text kPrefetchAhead bytes before where they are.
inline void PrefetchBytes(const char* p) {
    _mm_prefetch(p, _MM_HINT_T0);
}

#else

inline ByteClasses ClassifyBytes(const char* p) {
    return ClassifyBytesPortable(p);
}

inline void PrefetchBytes(const char*) {}

#endif
