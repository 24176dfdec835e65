#include "render/map_load.h"

#include <stb_image_write.h>
#include <sys/stat.h>

#include <cstring>

#include "scene/map_file.h"
#include "tests/fakes/recording_device.h"
#include "tests/scene/map_file_fixture.h"

namespace {

class MapLoad : public MapFileTest {
  protected:
    RecordingDevice device;
    SceneData scene;

    // Loads `text` as map.txt; returns what was written to stderr.
    std::string Load(const std::string& text, bool expectLoaded) {
        Write("map.txt", text);
        ::testing::internal::CaptureStderr();
        TextureCache cache;
        const bool loaded = LoadMap(&device, scene, ReadTheMap(), cache);
        std::string errors = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(loaded, expectLoaded) << errors;
        return errors;
    }
};

// An empty name is a slot without an image; a name that fails is warned about once.
TEST_F(MapLoad, AnImageThatFailsWarnsWhyOnceLeavesItsSlotsNullAndTheLoadGoesOn) {
    const unsigned char pixel[4] = {1, 2, 3, 255};
    ASSERT_TRUE(stbi_write_png("good.png", 1, 1, 4, pixel, 4));
    Write("broken.png", "not a png");
    ASSERT_EQ(::mkfifo("pipe.png", 0600), 0);  // a plain open would wait for a writer
    // True-colour TGA headers alone: one larger than the device takes, one whose pixels are missing.
    Write("huge.tga", std::string("\0\0\2\0\0\0\0\0\0\0\0\0\x00\x40\x00\x40\x18\x20", 18));
    Write("short.tga", std::string("\0\0\2\0\0\0\0\0\0\0\0\0\x10\x00\x10\x00\x18\x20", 18));
    // Images of no pixels, each as its decoder meets it.
    Write("empty.png",
          std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\0\0\0\0\0\0\x08\x06\0\0\0\0\0\0\0", 33));
    Write("empty.ppm", "P6\n0 0\n255\n");
    Write("empty.bmp", std::string("BM\x36\0\0\0\0\0\0\0\x36\0\0\0\x28", 15) + std::string(11, '\0') +
                           std::string("\x01\0\x18\0", 4) + std::string(24, '\0'));
    const std::string errors = Load(
        "0 0 0\n1\n0 0 0 1\n1\n0 0 0 0 0\n11\n%missing.bmp%\n%good.png%\n%broken.png%\n%pipe.png%\n"
        "%huge.tga%\n%short.tga%\n%missing.bmp%%%\n%empty.png%\n%empty.ppm%\n%empty.bmp%\n",
        true);
    EXPECT_EQ(
        errors,
        "map.txt:7: warning: cannot load texture \"missing.bmp\": not found (2 slots name it)\n"
        "map.txt:9: warning: cannot load texture \"broken.png\": not an image format the viewer reads, or "
        "damaged (unknown image type)\n"
        "map.txt:10: warning: cannot load texture \"pipe.png\": not a regular file (a folder, device, FIFO "
        "or socket)\n"
        "map.txt:11: warning: cannot load texture \"huge.tga\": 16384x16384 pixels, larger than the "
        "device's 4096x2048 limit\n"
        "map.txt:12: warning: cannot load texture \"short.tga\": pixel data cut short: the file holds 18 "
        "of the 786 bytes its header declares\n"
        "map.txt:14: warning: cannot load texture \"empty.png\": the image is empty (no pixels)\n"
        "map.txt:15: warning: cannot load texture \"empty.ppm\": the image is empty (no pixels)\n"
        "map.txt:16: warning: cannot load texture \"empty.bmp\": the image is empty (no pixels)\n");
    EXPECT_NE(scene.textures[1], nullptr);
    for (int k : {0, 2, 3, 4, 5, 6, 7, 8, 9, 10}) EXPECT_EQ(scene.textures[k], nullptr) << k;
    EXPECT_EQ(device.textures.size(), 1u);
}

// Each name goes to texture creation as written; every name of one file shares one texture, each
// slot with a reference of its own, so that releasing every slot once releases it as often.
TEST_F(MapLoad, SlotsNamingOneFileShareItsTextureWithAReferenceEach) {
    const unsigned char pixel[4] = {1, 2, 3, 255};
    for (const char* name : {"my stone.bmp", "a.bmp", "c\nd"})
        ASSERT_TRUE(stbi_write_bmp(name, 1, 1, 4, pixel));
    std::filesystem::create_directory("d");
    std::filesystem::create_symlink("../a.bmp", "d/link.bmp");
    EXPECT_EQ(Load("0 0 0 0 0 6\n%my stone.bmp%%%%a.bmp%%./a.bmp%%d/link.bmp% %c\r\nd%", true), "");
    ASSERT_EQ(device.textures.size(), 3u);
    EXPECT_EQ(scene.textures[0], device.textures[0].get());
    EXPECT_EQ(scene.textures[1], nullptr);  // the empty name
    for (int k = 2; k < 5; ++k) EXPECT_EQ(scene.textures[k], device.textures[1].get());
    EXPECT_EQ(device.textures[1]->addRefCount, 2);
    EXPECT_EQ(scene.textures[5], device.textures[2].get());
}

// The whole map is read before any texture is made: a refusal comes alone, and nothing is left made.
TEST_F(MapLoad, ARefusedMapSaysOneLineAndMakesNoTexture) {
    const unsigned char pixel[4] = {1, 2, 3, 255};
    ASSERT_TRUE(stbi_write_bmp("a.bmp", 1, 1, 4, pixel));
    EXPECT_EQ(Load("0 0 0 0 0 3\n%a.bmp%\n%missing.bmp%\n%b.bmp", false),
              "map.txt:4: texture name 3 has no closing '%' before the end of the file\n");
    EXPECT_TRUE(device.textures.empty());
    EXPECT_EQ(scene.textureCount, 0);
    EXPECT_TRUE(scene.textures.empty());
}

TEST_F(MapLoad, ALargeMapReadAheadLoadsAsWhenReadThen) {
    std::string text = "0 0 0\n1\n0 1 2 0\n60000\n";
    for (int i = 0; i < 60000; ++i) text += std::to_string(i) + ".25 -1.5 2.75 0.5 0.125\n";
    Write("map.txt", text + "1\n%missing.bmp%\n");
    ASSERT_GE(std::filesystem::file_size("map.txt"), kReadAheadFrom);
    SceneData then;
    ::testing::internal::CaptureStderr();
    TextureCache cache, again;
    ASSERT_TRUE(LoadMap(&device, then, ReadTheMap(), cache));
    ASSERT_TRUE(LoadMap(&device, scene, StartReadingMap().get(), again));
    const std::string warning = "map.txt:60006: warning: cannot load texture \"missing.bmp\": not found\n";
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), warning + warning);
    ASSERT_EQ(scene.vertices.size(), then.vertices.size());
    EXPECT_EQ(std::memcmp(scene.vertices.data(), then.vertices.data(), then.vertices.size() * sizeof(Vertex)),
              0);
    EXPECT_EQ(scene.vertices[59999].x, 59999.25f);
}

}  // namespace
