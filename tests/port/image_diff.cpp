// Compares two screenshots of the same size channel by channel: passes when the mean absolute
// difference of each of red, green and blue is under 2/255 and no more than 0.5 % of the pixels
// differ by more than 16/255 in any channel. Prints the figures either way.
// Usage: image_diff FIRST SECOND
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/image_decode.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: image_diff FIRST SECOND\n");
        return 2;
    }
    DecodedImage first;
    DecodedImage second;
    if (!DecodeImageFile(argv[1], first) || !DecodeImageFile(argv[2], second)) {
        std::fprintf(stderr, "image_diff: cannot read %s or %s\n", argv[1], argv[2]);
        return 2;
    }
    if (first.width != second.width || first.height != second.height || first.width == 0 ||
        first.height == 0) {
        std::fprintf(stderr, "image_diff: sizes differ: %dx%d and %dx%d\n", first.width, first.height,
                     second.width, second.height);
        return 2;
    }
    const long long pixels = static_cast<long long>(first.width) * first.height;
    long long sums[3] = {0, 0, 0};
    long long far = 0;
    for (long long p = 0; p < pixels; ++p) {
        int largest = 0;
        for (int c = 0; c < 3; ++c) {
            const int d = std::abs(first.rgba[p * 4 + c] - second.rgba[p * 4 + c]);
            sums[c] += d;
            largest = std::max(largest, d);
        }
        far += largest > 16 ? 1 : 0;
    }
    bool pass = far * 200 <= pixels;
    std::printf("mean difference (of 255):");
    for (long long sum : sums) {
        const double mean = static_cast<double>(sum) / static_cast<double>(pixels);
        std::printf(" %.3f", mean);
        pass = pass && mean < 2.0;
    }
    std::printf("; pixels off by more than 16: %lld (%.3f %%)\n", far,
                100.0 * static_cast<double>(far) / static_cast<double>(pixels));
    return pass ? 0 : 1;
}
