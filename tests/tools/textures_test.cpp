// The textures must tile without a visible seam, carry real detail, and match the committed files.
#include "tools/make_courtyard/textures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "platform/image_decode.h"

namespace {

int Channel(const Image& image, int x, int y, int c) {
    return image.rgb[(static_cast<std::size_t>(y) * image.width + x) * 3 + c];
}

// Mean absolute difference between two columns.
double ColumnStep(const Image& image, int x0, int x1) {
    long sum = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int c = 0; c < 3; ++c) {
            sum += std::abs(Channel(image, x0, y, c) - Channel(image, x1, y, c));
        }
    }
    return static_cast<double>(sum) / (image.height * 3);
}

double RowStep(const Image& image, int y0, int y1) {
    long sum = 0;
    for (int x = 0; x < image.width; ++x) {
        for (int c = 0; c < 3; ++c) {
            sum += std::abs(Channel(image, x, y0, c) - Channel(image, x, y1, c));
        }
    }
    return static_cast<double>(sum) / (image.width * 3);
}

}  // namespace

TEST(Textures, TileWithoutASeam) {
    for (int id = 0; id < kTextureCount; ++id) {
        const Image image = MakeTexture(static_cast<TextureId>(id));
        ASSERT_EQ(image.width, kTextureSize);
        ASSERT_EQ(image.height, kTextureSize);
        // The step across the wrap is no rougher than the roughest step inside the image (give or
        // take a tenth: hard edges such as plank gaps differ a little from one to the next).
        double roughestColumn = 0.0;
        double roughestRow = 0.0;
        for (int k = 0; k + 1 < kTextureSize; ++k) {
            roughestColumn = std::max(roughestColumn, ColumnStep(image, k, k + 1));
            roughestRow = std::max(roughestRow, RowStep(image, k, k + 1));
        }
        EXPECT_LE(ColumnStep(image, kTextureSize - 1, 0), roughestColumn * 1.1) << kTextureFileNames[id];
        EXPECT_LE(RowStep(image, kTextureSize - 1, 0), roughestRow * 1.1) << kTextureFileNames[id];
    }
}

TEST(Textures, AreDetailedAndDifferFromEachOther) {
    std::set<long> averages;
    for (int id = 0; id < kTextureCount; ++id) {
        const Image image = MakeTexture(static_cast<TextureId>(id));
        std::set<long> colours;
        long sum[3] = {0, 0, 0};
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                long colour = 0;
                for (int c = 0; c < 3; ++c) {
                    colour = colour * 256 + Channel(image, x, y, c);
                    sum[c] += Channel(image, x, y, c);
                }
                colours.insert(colour);
            }
        }
        EXPECT_GT(colours.size(), 200u) << kTextureFileNames[id];
        const long pixels = static_cast<long>(image.width) * image.height;
        // Average colour, coarsely: two textures of the same look would collide here.
        averages.insert((sum[0] / pixels / 16) * 256 + (sum[1] / pixels / 16) * 16 + sum[2] / pixels / 16);
    }
    EXPECT_EQ(averages.size(), static_cast<std::size_t>(kTextureCount));
}

TEST(Textures, CommittedFilesHoldExactlyWhatTheToolDraws) {
    for (int id = 0; id < kTextureCount; ++id) {
        const std::string path =
            std::string(VELLMORA_SOURCE_DIR) + "/examples/courtyard/" + kTextureFileNames[id];
        std::FILE* file = std::fopen(path.c_str(), "rb");
        ASSERT_NE(file, nullptr) << path;
        StoredImage decoded;
        std::string why;
        const bool read = DecodeStoredImage(file, std::filesystem::file_size(path), decoded, why);
        std::fclose(file);
        ASSERT_TRUE(read) << path << ": " << why;
        const Image drawn = MakeTexture(static_cast<TextureId>(id));
        ASSERT_EQ(decoded.width, drawn.width);
        ASSERT_EQ(decoded.height, drawn.height);
        ASSERT_GE(decoded.channels, 3);
        const std::size_t channels = static_cast<std::size_t>(decoded.channels);
        int differing = 0;
        for (std::size_t k = 0; k < drawn.rgb.size() / 3; ++k) {
            for (std::size_t c = 0; c < 3; ++c) {
                differing += decoded.pixels[k * channels + c] != drawn.rgb[k * 3 + c];
            }
        }
        EXPECT_EQ(differing, 0) << path;
    }
}
