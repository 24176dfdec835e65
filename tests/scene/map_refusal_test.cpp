#include <gtest/gtest.h>

#include <string>

#include "scene/map_reader.h"

namespace {

struct Refused {
    std::string text;
    std::string message;
};

// A long list of vertices, one a line with CR LF line ends, read 64 bytes at a time.
std::string LongVertexList(int count) {
    std::string text = "0 0 0\r\n0\r\n" + std::to_string(count) + "\r\n";
    for (int i = 0; i < count; ++i) text += "12.5 -3.25 100 0.5 0.75\r\n";
    return text;
}

TEST(MapRefusal, EachFaultGivesOneLineNamingFileLineAndProblem) {
    const std::string longName(255, 'n');
    const Refused refusals[] = {
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
        {"0 0 0\n1\n0 0 0 0\n0\n1 %a%\n", "map.txt:3: vertex index 0 is given, but the map has no vertices"},
        {"0 0 0\n2\n0 0 0 0\n0 0 0 2\n1 0 0 0 0 0\n2 %a% %b%\n",
         "map.txt:4: texture number 2 is outside 0 to 1 (the map has 2 textures)"},
        {"0 0 0\n1\n0 0 0 0\n1 0 0 0 0 0\n0\n",
         "map.txt:3: texture number 0 is given, but the map names no textures"},
        {"0 inf 0\n", "map.txt:1: expected a start position coordinate, found \"inf\" (not a finite number)"},
        {"0 0 0\n1\n0 0 0 0\n1\n0 -NaN 0 0 0\n",
         "map.txt:5: expected a vertex position, found \"-NaN\" (not a finite number)"},
        {"0 0 0\n1\n0 0 0 0\n1\n0 0 0 1e39 0\n",
         "map.txt:5: expected a texture coordinate, found \"1e39\" (beyond the range of a float)"},
        {"0 0 -.5e39\n",
         "map.txt:1: expected a start position coordinate, found \"-.5e39\" (beyond the range of a float)"},
        // Cut short after CR LF line ends, read whole or 64 bytes at a time.
        {"0 0 0\r\n1\r\n0 1 2\r\n", "map.txt:4: expected a texture number, found end of file"},
        {LongVertexList(40) + "1\r\n%a\r\n",
         "map.txt:45: texture name 1 has no closing '%' before the end of the file"},
        {LongVertexList(40).substr(0, 14 + 27 * 25),
         "map.txt:31: expected a vertex position, found end of file"},
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
    for (const Refused& refused : refusals) {
        SCOPED_TRACE(refused.text.substr(0, 60));
        const MapRead read = ReadMap("map.txt", refused.text);
        EXPECT_EQ(read.refusal, refused.message);
        EXPECT_EQ(read.scene.triangleCount, 0);
        EXPECT_TRUE(read.scene.indices.empty());
        EXPECT_TRUE(read.scene.vertices.empty());
        EXPECT_TRUE(read.names.empty());
    }
}

TEST(MapRefusal, ANameOf254BytesStillFits) {
    const MapRead read = ReadMap("map.txt", "0 0 0 0 0 1\n%" + std::string(254, 'n') + "%\n");
    EXPECT_EQ(read.refusal, "");
    ASSERT_EQ(read.names.size(), 1u);
    EXPECT_EQ(read.names[0].name.size(), 254u);
}

}  // namespace
