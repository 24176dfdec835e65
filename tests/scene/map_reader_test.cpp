#include "scene/map_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

const char kSquare[] =
    "0 0 -5\n"
    "2\n"
    "0 1 2 0\n"
    "0 2 3 0\n"
    "4\n"
    "-1 -1 0 0 1\n"
    "-1 1 0 0 0\n"
    "1 1 0 1 0\n"
    "1 -1 0 1 1\n"
    "1\n"
    "%stone.bmp%\n";

// Reads `text` as map.txt; the scene goes to `scene`, and what refused it is returned.
class MapReader : public ::testing::Test {
  protected:
    SceneData scene;
    std::vector<TextureName> names;

    std::string Load(const std::string& text, bool expectRead) {
        MapRead read = ReadMap("map.txt", text);
        EXPECT_EQ(read.refusal.empty(), expectRead) << read.refusal;
        scene = std::move(read.scene);
        names = std::move(read.names);
        return read.refusal;
    }
};

TEST_F(MapReader, ReadsEveryFieldOfASmallMap) {
    EXPECT_EQ(Load(kSquare, true), "");
    EXPECT_EQ(scene.startPosition, (Vec3{0, 0, -5}));
    EXPECT_EQ(scene.triangleCount, 2);
    EXPECT_EQ(scene.indexCount, 6);
    EXPECT_EQ(scene.indices, (SceneArray<std::int32_t>{0, 1, 2, 0, 2, 3}));
    ASSERT_EQ(scene.faces.size(), 2u);
    EXPECT_EQ(scene.faces[1].textureIndex, 0);
    ASSERT_EQ(scene.vertexCount, 4);
    const Vertex& v = scene.vertices[3];
    EXPECT_EQ(v.x, 1.0f);
    EXPECT_EQ(v.y, -1.0f);
    EXPECT_EQ(v.z, 0.0f);
    EXPECT_EQ(v.u, 1.0f);
    EXPECT_EQ(v.v, 1.0f);
    EXPECT_EQ(scene.textureCount, 1);
    EXPECT_TRUE(scene.textures.empty());  // made by the caller
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].name, "stone.bmp");
    EXPECT_EQ(names[0].line, 11);

    // A UTF-8 byte-order mark and lone CR line ends read as if they were not there.
    std::string marked = "\xEF\xBB\xBF" + std::string(kSquare);
    std::replace(marked.begin(), marked.end(), '\n', '\r');
    EXPECT_EQ(Load(marked, true), "");
    EXPECT_EQ(scene.startPosition, (Vec3{0, 0, -5}));
    EXPECT_EQ(scene.indices, (SceneArray<std::int32_t>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(scene.vertices[3].v, 1.0f);
    EXPECT_EQ(names[0].name, "stone.bmp");
}

TEST_F(MapReader, LayoutIsFreeAndIntegersFollowTheCLibrarysBases) {
    // One line, tabs and form feeds, octal and hexadecimal counts and indices, every float form.
    Load(
        "0x1p-1\t-0X1P1 +1e1 02 00 01 0x2 0 0 2 1 0 3\f"
        "1.5 -2.5e0 0x1.8p1 .5 1. 0 0 0 0 0 0 0 0 0 0 1 %a%",
        true);
    EXPECT_EQ(scene.startPosition.x, 0.5f);
    EXPECT_EQ(scene.startPosition.y, -2.0f);
    EXPECT_EQ(scene.startPosition.z, 10.0f);
    EXPECT_EQ(scene.triangleCount, 2);
    EXPECT_EQ(scene.indices, (SceneArray<std::int32_t>{0, 1, 2, 0, 2, 1}));
    EXPECT_EQ(scene.vertexCount, 3);
    EXPECT_EQ(scene.vertices[0].z, 3.0f);
    EXPECT_EQ(scene.vertices[0].u, 0.5f);
    EXPECT_EQ(scene.vertices[0].v, 1.0f);
    Load("0 0 0 0 012 0 ", false);  // "012" is ten, and ten vertices do not fit what is left
}

// Long lists go number by number through a quicker path than the rest; whatever the numbers and
// the white space between them, the values and the line count must be the C library's.
TEST_F(MapReader, LongListsReadAsTheCLibraryWhateverTheSpacing) {
    std::mt19937 rng(99);
    const char* const separators[] = {" ", " ", " ", "\n", "\r\n", "\t", "  ", "\n\n", " \r\n"};
    const int vertexCount = 3000;
    std::vector<std::string> indices, floats;
    char buffer[64];
    for (int i = 0; i < 4 * 3000; ++i) {
        const int value = i % 4 == 3 ? static_cast<int>(rng() % 2) : static_cast<int>(rng() % vertexCount);
        const char* format = rng() % 8 == 0 ? "0%o" : rng() % 8 == 0 ? "%#x" : "%d";
        std::snprintf(buffer, sizeof buffer, format, value);
        indices.push_back(buffer);
    }
    for (int i = 0; i < 5 * vertexCount; ++i) {
        const double value = (static_cast<double>(rng() % 4000000) - 2000000.0) / std::pow(10.0, rng() % 9);
        if (rng() % 10 == 0) {
            std::snprintf(buffer, sizeof buffer, "%.9e", value);
        } else {
            std::snprintf(buffer, sizeof buffer, "%.*f", static_cast<int>(rng() % 10), value);
        }
        floats.push_back(buffer);
    }
    std::string text = "0 0 0\n3000\n";
    int lines = 3;  // the line the text so far ends on
    auto append = [&](const std::string& number) {
        const char* separator = separators[rng() % std::size(separators)];
        text += number + separator;
        lines += static_cast<int>(std::count(separator, separator + std::strlen(separator), '\n'));
    };
    for (const std::string& number : indices) append(number);
    text += std::to_string(vertexCount) + "\n";
    ++lines;
    for (const std::string& number : floats) append(number);
    Load(text + "2 %a% %b%", true);
    for (std::size_t i = 0; i < indices.size(); ++i) {
        const long expected = std::strtol(indices[i].c_str(), nullptr, 0);
        const std::int32_t got =
            i % 4 == 3 ? scene.faces[i / 4].textureIndex : scene.indices[i / 4 * 3 + i % 4];
        ASSERT_EQ(got, expected) << indices[i];
    }
    for (std::size_t i = 0; i < floats.size(); ++i) {
        const Vertex& v = scene.vertices[i / 5];
        const float got[] = {v.x, v.y, v.z, v.u, v.v};
        ASSERT_EQ(got[i % 5], std::strtof(floats[i].c_str(), nullptr)) << floats[i];
    }
    // A texture count that is no number shows the line counted to it.
    const std::string refusal = Load(text + "two", false);
    EXPECT_EQ(refusal, "map.txt:" + std::to_string(lines) + ": expected the texture count, found \"two\"");
}

// A number amid a long list, where the list is read many bytes at a time, reads exactly as it does
// alone: the C library's value, or a refusal naming it.
TEST_F(MapReader, EachNumberAmidALongListReadsAsItWouldAlone) {
    const char* const floats[] = {
        "-.5",   "5.",        ".",          "-",        "1.2.3",     "--1",       "-0",
        "-0.0",  "0.0000001", "1234567",    "12345678", "1234.5678", "16777217",  "1.5e3",
        "0x1p3", "inf",       "+5",         "1-2",      "00012.5",   "999999.9",  "-9999999",
        ".0",    "0.",        "1..",        "12345.67", "123456.78", "-.",        "7/2",
        "/5",    "5/",        "0.00662795", "1234567.", "-1234567.", "12345678.", "00000001.5"};
    for (const char* token : floats) {
        // Vertex 20 of 40, one vertex a line: its z is the token.
        std::string text = "0 0 0\n0\n40\n";
        for (int i = 0; i < 40; ++i) {
            text +=
                i == 20 ? std::string("1.5 -2.25 ") + token + " 0.5 0.25\n" : "-12.5 3.75 100.125 0.5 0.75\n";
        }
        char* stop = nullptr;
        const float expected = std::strtof(token, &stop);
        const bool loads = *stop == 0 && std::isfinite(expected);
        const std::string errors = Load(text + "1 %a%", loads);
        if (loads) {
            EXPECT_EQ(std::memcmp(&scene.vertices[20].z, &expected, sizeof expected), 0) << token;
            EXPECT_EQ(scene.vertices[21].x, -12.5f) << token;
        } else {
            const std::string hint = *stop == 0 ? " (not a finite number)" : "";
            EXPECT_EQ(errors,
                      std::string("map.txt:24: expected a vertex position, found \"") + token + "\"" + hint);
        }
    }
    const char* const indices[] = {"0", "1", "00", "01", "07", "0x1", "+1", "-0", "1.", "1x", "2e0", "0010"};
    for (const char* token : indices) {
        // Triangle 20 of 40: its second corner is the token.
        std::string text = "0 0 0\n40\n";
        for (int i = 0; i < 40; ++i) text += i == 20 ? std::string("2 ") + token + " 3 0\n" : "1 2 3 0\n";
        text += "9 ";
        for (int i = 0; i < 9 * 5; ++i) text += "0 ";
        char* stop = nullptr;
        const long expected = std::strtol(token, &stop, 0);
        const std::string errors = Load(text + "1 %a%", *stop == 0);
        if (*stop == 0) {
            EXPECT_EQ(scene.indices[61], expected) << token;
            EXPECT_EQ(scene.indices[63], 1) << token;
        } else {
            EXPECT_NE(
                errors.find("map.txt:23: expected a vertex index, found \"" + std::string(token) + "\""),
                std::string::npos)
                << errors;
        }
    }
}

// CR LF inside a name reads as LF; a zero byte ends a name like '%' does; each name's line is the
// line of its opening '%'.
TEST_F(MapReader, NamesAreEverythingBetweenPercentSigns) {
    const char text[] = "0 0 0\r\n0\r\n0\r\n7\r\n%my stone.bmp%\n%%%a.bmp%%b.bmp% %c\r\nd%\x01\x02%e%\n%f\0";
    Load(std::string(text, sizeof text - 1), true);
    const std::vector<std::string> expected = {"my stone.bmp", "", "a.bmp", "b.bmp", "c\nd", "e", "f"};
    const int lines[] = {5, 6, 6, 6, 6, 7, 8};
    ASSERT_EQ(names.size(), expected.size());
    for (std::size_t k = 0; k < names.size(); ++k) {
        EXPECT_EQ(names[k].name, expected[k]);
        EXPECT_EQ(names[k].line, lines[k]) << k;
    }
}

TEST_F(MapReader, ElevenCharactersMayPrecedeANameAndCrLfCountsAsOne) {
    Load("0 0 0 0 0 1          \r\n%a%", true);          // ten spaces and a line break
    Load("0 0 0 0 0 2\n%a%         \r\n\r\n%b%", true);  // nine spaces and two line breaks
    Load("0 0 0 0 0 1abcdefghijk%a%", true);             // whatever follows the count directly
    const std::string errors = Load("0 0 0 0 0 1           \n%a%", false);
    EXPECT_NE(errors.find("map.txt:1: expected '%' to open texture name 1 within 11 characters"),
              std::string::npos)
        << errors;
}

TEST_F(MapReader, NothingAfterTheLastNameIsRead) {
    Load("0 0 0 0 0 1 %a% then anything at all, even %unclosed", true);
    Load("0 0 0 0 0 0 garbage that is never read", true);
    EXPECT_EQ(scene.textureCount, 0);
}

TEST_F(MapReader, AMapWithoutTrianglesLoads) {
    Load("1 2 3\n0\n0\n0\n", true);
    EXPECT_EQ(scene.triangleCount, 0);
    EXPECT_EQ(scene.indexCount, 0);
    EXPECT_EQ(scene.startPosition, (Vec3{1, 2, 3}));
}

}  // namespace
