#include "tools/random_map.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "scene/map_file.h"
#include "scene/normals.h"

namespace {

namespace fs = std::filesystem;

class RandomMap : public ::testing::Test {
  protected:
    fs::path dir = fs::temp_directory_path() / ("vellmora_random_map_" + std::to_string(::getpid()));

    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    std::string PathOf(const char* name) { return (dir / name).string(); }
};

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(RandomMap, TheSameSizeAlwaysWritesTheSameBytes) {
    const RandomMapSize size{3000, 1600, 4};
    ASSERT_TRUE(WriteRandomMap(PathOf("a.txt").c_str(), size));
    ASSERT_TRUE(WriteRandomMap(PathOf("b.txt").c_str(), size));
    const std::string a = Contents(PathOf("a.txt"));
    EXPECT_GT(a.size(), 3000u * 8);
    EXPECT_EQ(a, Contents(PathOf("b.txt")));
}

TEST_F(RandomMap, LoadsWithTheSizeAskedForAndDegenerateTrianglesInRunsOfTextures) {
    const RandomMapSize size{5000, 2600, 3};
    const std::string path = PathOf("map.txt");
    ASSERT_TRUE(WriteRandomMap(path.c_str(), size));
    MapRead read = ReadMapFile(path.c_str());
    ASSERT_EQ(read.refusal, "");
    SceneData& scene = read.scene;
    ASSERT_EQ(scene.triangleCount, size.triangles);
    ASSERT_EQ(scene.vertexCount, size.vertices);
    ASSERT_EQ(scene.textureCount, size.textures);

    GenerateNormals(scene);
    int repeatedVertex = 0;
    int zeroArea = 0;
    int textureChanges = 0;
    for (std::int32_t t = 0; t < scene.triangleCount; ++t) {
        const std::int32_t* corner = &scene.indices[3 * static_cast<std::size_t>(t)];
        const bool repeats = corner[0] == corner[1] || corner[1] == corner[2] || corner[0] == corner[2];
        repeatedVertex += repeats;
        zeroArea += !repeats && scene.faces[t].normal == Vec3(0.0f, 0.0f, 0.0f);
        textureChanges += t > 0 && scene.faces[t].textureIndex != scene.faces[t - 1].textureIndex;
    }
    EXPECT_GT(repeatedVertex, 0);
    EXPECT_GT(zeroArea, 0);
    EXPECT_LT(textureChanges, scene.triangleCount / 100);
}

TEST_F(RandomMap, RefusesTrianglesWithNoVertexOrTextureToNameAndWritesNothing) {
    for (const RandomMapSize& size :
         {RandomMapSize{10, 0, 1}, RandomMapSize{10, 5, 0}, RandomMapSize{-1, 5, 1}}) {
        EXPECT_FALSE(IsValidRandomMapSize(size));
        EXPECT_FALSE(WriteRandomMap(PathOf("bad.txt").c_str(), size));
        EXPECT_FALSE(fs::exists(PathOf("bad.txt")));
    }
    EXPECT_TRUE(WriteRandomMap(PathOf("empty.txt").c_str(), RandomMapSize{0, 0, 0}));
    EXPECT_EQ(ReadMapFile(PathOf("empty.txt").c_str()).refusal, "");
}

}  // namespace
