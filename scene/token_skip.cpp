#include "scene/token_skip.h"

#include <bit>
#include <cstring>

#include "platform/byte_classes.h"

namespace {

struct Block {
    std::uint64_t blanks;
    std::uint64_t lineEnds;  // LF, and CR where no LF follows within the block
    std::uint64_t crAtEnd;   // the last byte is a CR, which the next block's LF may join
};

// One bit for each line end: an LF right after the CR that ends the block before counts with it.
Block Classify(const char* p, bool crBefore) {
    const std::uint64_t lf = MatchBytes(p, '\n') & ~std::uint64_t{crBefore};
    const std::uint64_t cr = MatchBytes(p, '\r');
    return Block{ClassifyBytes(p).blanks, lf | (cr & ~(lf >> 1)), cr >> 63};
}

}  // namespace

std::uint64_t SkipTokens(TextPlace& place, const char* end, std::uint64_t most, const char* until) {
    std::uint64_t passed = 0;
    bool blankBefore = true;
    bool crBefore = false;
    for (const char* p = place.p; p < end; p += 64) {
        const std::ptrdiff_t size = end - p < 64 ? end - p : 64;
        char tail[64];
        const char* bytes = p;
        if (size < 64) {  // the last bytes, padded with blanks that start no token
            std::memset(tail, ' ', sizeof tail);
            std::memcpy(tail, p, static_cast<std::size_t>(size));
            bytes = tail;
        }
        PrefetchBytes(p + kPrefetchAhead);
        const Block block = Classify(bytes, crBefore);
        const std::uint64_t starts = ~block.blanks & ((block.blanks << 1) | std::uint64_t{blankBefore});
        std::uint64_t stops =
            until - p < 64 ? starts & (~std::uint64_t{0} << (until > p ? until - p : 0)) : 0;
        const std::uint64_t left = most - passed;
        if (left < static_cast<std::uint64_t>(std::popcount(starts))) {
            std::uint64_t nth = starts;
            for (std::uint64_t i = 0; i < left; ++i) nth &= nth - 1;
            stops |= nth & -nth;
        }
        if (stops != 0) {
            const std::uint64_t before = (stops & -stops) - 1;
            place =
                TextPlace{p + std::countr_zero(stops), place.line + std::popcount(block.lineEnds & before)};
            return passed + static_cast<std::uint64_t>(std::popcount(starts & before));
        }
        passed += static_cast<std::uint64_t>(std::popcount(starts));
        place.line += std::popcount(block.lineEnds);
        blankBefore = (block.blanks >> 63) != 0;
        crBefore = block.crAtEnd != 0;
    }
    place.p = end;
    return passed;
}
