// The map text the import writes, read back by the viewer's own reader, and the names it gives.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cstring>
#include <limits>
#include <random>

#include "map_tool/map_text_writer.h"
#include "map_tool/texture_names.h"
#include "scene/map_reader.h"

namespace {

// Any finite float, drawn from all bit patterns so that every exponent turns up.
float FiniteFloat(std::mt19937& random) {
    for (;;) {
        const float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (std::isfinite(value)) return value;
    }
}

TEST(ImportMapText, EveryFloatAndIndexReadsBackExactlyOnBothThreadsHalves) {
    MapContent map;
    map.start[0] = 0.1f;
    map.start[1] = -FLT_MAX;
    map.start[2] = std::numeric_limits<float>::denorm_min();
    const float awkward[] = {1.0f / 3.0f, FLT_MAX,     FLT_MIN, -0.0f,    1e-7f,
                             123456.79f,  16777217.0f, 0.0f,    -2.5e-41f};
    std::mt19937 random(7);
    for (int i = 0; i < 150000; ++i) {
        const float first = i < 9 ? awkward[i] : FiniteFloat(random);
        map.vertices.push_back(
            {first, FiniteFloat(random), FiniteFloat(random), FiniteFloat(random), FiniteFloat(random)});
    }
    // 8, 9 and 10 would read as octal or be refused with a leading zero.
    map.triangles = {{8, 9, 10, 0}, {149999, 0, 1, 1}, {10, 100, 1000, 1}};
    map.textureNames = {"old brick.png", "b.png"};

    const MapRead read = ReadMap("map.txt", MapText(map));

    ASSERT_EQ(read.refusal, "");
    EXPECT_EQ(std::memcmp(&read.scene.startPosition, map.start, sizeof map.start), 0);
    ASSERT_EQ(read.scene.vertexCount, 150000);
    for (std::size_t i = 0; i < map.vertices.size(); ++i) {
        const Vertex& got = read.scene.vertices[i];
        const MapVertex& want = map.vertices[i];
        const float gotFields[5] = {got.x, got.y, got.z, got.u, got.v};
        ASSERT_EQ(std::memcmp(gotFields, &want, sizeof gotFields), 0) << "vertex " << i;
    }
    ASSERT_EQ(read.scene.triangleCount, 3);
    EXPECT_EQ(read.scene.indices[0], 8);
    EXPECT_EQ(read.scene.indices[2], 10);
    EXPECT_EQ(read.scene.indices[3], 149999);
    EXPECT_EQ(read.scene.faces[2].textureIndex, 1);
    ASSERT_EQ(read.names.size(), 2u);
    EXPECT_EQ(read.names[0].name, "old brick.png");
}

TEST(ImportTextureNames, PlainNamesAreKeptAndOthersMadePlainAndUnique) {
    TextureNames names;
    EXPECT_EQ(names.Claim("Stone Wall.png"), "Stone Wall.png");
    // Letter case does not tell files apart where the viewer looks names up.
    EXPECT_EQ(names.Claim("stone wall.PNG"), "stone wall-2.PNG");
    EXPECT_EQ(names.Claim("stone wall.png"), "stone wall-3.png");
    EXPECT_EQ(names.Claim("100%/dir\\gr\xc3\xbcn.png"), "100__dir_gr__n.png");
    EXPECT_EQ(names.Claim("trailing. . "), "trailing");
    EXPECT_EQ(names.Claim("MAP.TXT"), "MAP-2.TXT");
    EXPECT_EQ(names.Claim(""), "texture");
    EXPECT_EQ(names.Claim("Aux.png"), "_Aux.png");

    const std::string longName = names.Claim(std::string(300, 'x') + ".jpeg");
    EXPECT_EQ(longName.size(), static_cast<std::size_t>(kMaxNameBytes));
    EXPECT_TRUE(longName.ends_with("x.jpeg"));
    const std::string longAgain = names.Claim(std::string(300, 'x') + ".jpeg");
    EXPECT_EQ(longAgain.size(), static_cast<std::size_t>(kMaxNameBytes));
    EXPECT_TRUE(longAgain.ends_with("x-2.jpeg"));
}

}  // namespace
