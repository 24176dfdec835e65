#include <stb_image_write.h>
#include <sys/stat.h>

#include <algorithm>

#include "tests/scene/map_file_fixture.h"

namespace {

using MapRefusal = MapFileTest;

struct Refusal {
    std::string text;
    std::string message;
};

TEST_F(MapRefusal, EachFaultGivesOneLineNamingFileLineAndProblem) {
    const std::string longName(255, 'n');
    const Refusal refusals[] = {
        {"", "map.txt:1: expected a start position coordinate, found end of file"},
        {"0 0 -5\n2\n0 1 2 0\n0 2 1.5 0\n", "map.txt:4: expected a vertex index, found \"1.5\""},
        {"0 0 0\n1\n0 1 2,0\n", "map.txt:3: expected a vertex index, found \"2,0\""},
        {"0 0 0\n1\n0 08 2 0\n",
         "map.txt:3: expected a vertex index, found \"08\" (a leading 0 makes a number octal)"},
        {"0 0 zero\n", "map.txt:1: expected a start position coordinate, found \"zero\""},
        {"0 0 0\n1\n0 1 1 0\n2\n0 0 0 0 0\n0 0 0 0 0.5.5\n1 %a%\n",
         "map.txt:6: expected a texture coordinate, found \"0.5.5\""},
        {"0 0 0\n0\n1\n1 2 3 4 5\n", "map.txt:5: expected the texture count, found end of file"},
        {"0 0 0\n-1\n", "map.txt:2: triangle count -1 is negative"},
        {"0 0 0\n2000000000\n0 0 0 0\n",
         "map.txt:2: triangle count 2000000000 is more than the rest of the file holds"},
        {"0 0 0\n0\n0x7fffffff 1 1 1 1 1\n",
         "map.txt:3: vertex count 2147483647 is more than the rest of the file holds"},
        {"0 0 0\n0\n0\n-3\n", "map.txt:4: texture count -3 is negative"},
        {"0 0 0\n0\n0\n99999999999\n", "map.txt:4: expected the texture count, found \"99999999999\""},
        {"0 0 0\n2\n0 1 2 0\n\n2 1 3 0\n3\n0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 %a%\n",
         "map.txt:5: vertex index 3 is outside 0 to 2 (the map has 3 vertices)"},
        {"0 0 0\n1\n0 -1 0 0\n1\n0 0 0 0 0 1 %a%\n",
         "map.txt:3: vertex index -1 is outside 0 to 0 (the map has 1 vertices)"},
        {"0 0 0\n2\n0 0 0 0\n0 0 0 2\n1 0 0 0 0 0\n2 %a% %b%\n",
         "map.txt:4: texture number 2 is outside 0 to 1 (the map has 2 textures)"},
        {"0 0 0\n1\n0 0 0 0\n1 0 0 0 0 0\n0\n",
         "map.txt:3: texture number 0 is given, but the map names no textures"},
        {"0 inf 0\n", "map.txt:1: expected a start position coordinate, found \"inf\" (not a finite number)"},
        {"0 0 0\n1\n0 0 0 0\n1\n0 -NaN 0 0 0\n",
         "map.txt:5: expected a vertex position, found \"-NaN\" (not a finite number)"},
        {"0 0 0\n1\n0 0 0 0\n1\n0 0 0 1e39 0\n",
         "map.txt:5: expected a texture coordinate, found \"1e39\" (beyond the range of a float)"},
        // A lone CR ends a line as LF and CR LF do.
        {"0 0 0\r1\r\n\r0 0 x 0\n", "map.txt:4: expected a vertex index, found \"x\""},
        {std::string("\xFF\xFE"
                     "0\0 \0",
                     6),
         "map.txt:1: the map is saved as UTF-16 text; save it as UTF-8 or plain ASCII text instead (in "
         "Notepad: Save As, Encoding UTF-8)"},
        {std::string("0\0\0\0", 4),
         "map.txt:1: the map is saved as UTF-32 text; save it as UTF-8 or plain ASCII text instead (in "
         "Notepad: Save As, Encoding UTF-8)"},
        {"0 0 0 0 0 2\n%%\n%" + longName + "%\n", "map.txt:3: texture name 2 is longer than 254 bytes"},
        {"0 0 0 0 0 1\n%never closed\n\n",
         "map.txt:2: texture name 1 has no closing '%' before the end of the file"},
        {"0 0 0 0 0 2\n%%\n", "map.txt:3: expected '%' to open texture name 2, found end of file"},
        {"0 0 0 0 0 1\nmy_stone.bmp%\n",
         "map.txt:2: expected '%' to open texture name 1 within 11 characters, found \"\\nmy_stone.bm\""},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.text);
        const std::string errors = Load(refusal.text, false);
        // Warnings for names read before the refusal may come first; the refusal is the last line.
        const std::string last = refusal.message + "\n";
        EXPECT_EQ(errors.substr(errors.size() - std::min(errors.size(), last.size())), last) << errors;
        EXPECT_EQ(scene.triangleCount, 0);
        EXPECT_TRUE(scene.indices.empty());
        EXPECT_TRUE(scene.vertices.empty());
        EXPECT_TRUE(scene.textures.empty());
        // The same with the vertex list read ahead on a second thread, however short the text (and
        // with no device, so without warnings for the names).
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(LoadMapText("map.txt", refusal.text.data(), refusal.text.size(), nullptr, scene, 0));
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), last);
        EXPECT_TRUE(scene.vertices.empty());
    }
}

TEST_F(MapRefusal, ANameOf254BytesStillFits) {
    Load("0 0 0 0 0 1\n%" + std::string(254, 'n') + "%\n", true);
}

TEST_F(MapRefusal, AMissingMapOrOneThatIsNoRegularFileIsRefusedWithoutReadingIt) {
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(LoadMap(&device, scene));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "map.txt: cannot open the map file\n");
    // A FIFO without a writer would block a plain open; /dev/zero never ends.
    ASSERT_EQ(::mkfifo("fifo", 0600), 0);
    std::filesystem::create_directory("folder");
    for (const char* target : {"fifo", "folder", "/dev/zero"}) {
        std::filesystem::remove("map.txt");
        std::filesystem::create_symlink(target, "map.txt");
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(LoadMap(&device, scene));
        EXPECT_EQ(::testing::internal::GetCapturedStderr(),
                  "map.txt: the map file is not a regular file (a folder, device, FIFO or socket)\n");
    }
}

// Every name of one file shares one texture, each slot with its own reference: releasing every slot
// once on the refusal releases it as often as it was handed out.
TEST_F(MapRefusal, TexturesMadeBeforeARefusalAreReleasedOncePerSlot) {
    const unsigned char pixel[4] = {1, 2, 3, 255};
    ASSERT_TRUE(stbi_write_bmp("a.bmp", 1, 1, 4, pixel));
    std::filesystem::create_directory("d");
    std::filesystem::create_symlink("../a.bmp", "d/link.bmp");
    Load("0 0 0 0 0 5\n%a.bmp%\n%a.bmp%\n%./a.bmp%\n%d/link.bmp%\n%b.bmp", false);
    ASSERT_EQ(device.textures.size(), 1u);
    EXPECT_EQ(device.textures[0]->addRefCount, 3);
    EXPECT_EQ(device.textures[0]->releaseCount, 4);
    EXPECT_TRUE(scene.textures.empty());
}

}  // namespace
