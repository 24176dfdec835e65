// screenshot_check FILE...: fails unless every screenshot shows a textured, lit scene: many
// distinct colours, a fair share of the screen lit, and texture detail (neighbouring pixels that
// differ) across much of what is lit. A black, single-colour or untextured frame fails.
#include <cstdio>
#include <cstdlib>
#include <set>

#include "platform/image_decode.h"

namespace {

constexpr std::size_t kMinColours = 2000;
constexpr double kMinLitShare = 0.25;       // of all pixels
constexpr double kMinTexturedShare = 0.08;  // of the lit pixels
constexpr int kLit = 24;                    // brightest channel above this
constexpr int kDetail = 24;                 // summed channel difference to the right-hand neighbour

bool Check(const char* path) {
    DecodedImage image;
    if (!DecodeImageFile(path, image)) {
        std::fprintf(stderr, "%s: cannot read the image\n", path);
        return false;
    }
    std::set<unsigned> colours;
    long lit = 0;
    long textured = 0;
    for (int y = 0; y < image.height; ++y) {
        const unsigned char* row = image.rgba.data() + static_cast<std::size_t>(y) * image.width * 4;
        for (int x = 0; x < image.width; ++x) {
            const unsigned char* p = row + x * 4;
            colours.insert(static_cast<unsigned>(p[0]) << 16 | static_cast<unsigned>(p[1]) << 8 | p[2]);
            if (p[0] <= kLit && p[1] <= kLit && p[2] <= kLit) {
                continue;
            }
            ++lit;
            if (x + 1 < image.width) {
                const int step = std::abs(p[0] - p[4]) + std::abs(p[1] - p[5]) + std::abs(p[2] - p[6]);
                textured += step >= kDetail;
            }
        }
    }
    const double pixels = static_cast<double>(image.width) * image.height;
    const double litShare = pixels > 0 ? lit / pixels : 0.0;
    const double texturedShare = lit > 0 ? static_cast<double>(textured) / lit : 0.0;
    std::printf("%s: %dx%d, %zu colours, %.0f%% lit, %.0f%% of that textured\n", path, image.width,
                image.height, colours.size(), litShare * 100.0, texturedShare * 100.0);
    return colours.size() >= kMinColours && litShare >= kMinLitShare && texturedShare >= kMinTexturedShare;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshot_check FILE...\n");
        return 2;
    }
    bool good = true;
    for (int k = 1; k < argc; ++k) {
        good = Check(argv[k]) && good;
    }
    return good ? 0 : 1;
}
