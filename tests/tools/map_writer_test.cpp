// The written map must read back under the viewer's rules: "%i" integers (a leading 0 means
// octal), "%f" floats, names between '%' with at most 11 characters before each.
#include "tools/make_courtyard/map_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Reads the text as the viewer does; fails the test where it would go wrong.
struct Reader {
    const char* p;
    int Integer() {
        char* end = nullptr;
        const long value = std::strtol(p, &end, 0);  // base 0 is what "%i" does
        EXPECT_NE(end, p);
        p = end;
        return static_cast<int>(value);
    }
    float Float() {
        char* end = nullptr;
        const float value = std::strtof(p, &end);
        EXPECT_NE(end, p);
        p = end;
        return value;
    }
    std::string Name() {
        int skipped = 0;
        while (*p != '%') {
            EXPECT_NE(*p, '\0');
            if (*p == '\0') {
                return {};
            }
            ++p;
            ++skipped;
        }
        EXPECT_LE(skipped, 11);
        const char* start = ++p;
        while (*p != '%' && *p != '\0') {
            ++p;
        }
        std::string name(start, p);
        ++p;
        return name;
    }
};

MapMesh TwoTriangles() {
    MapMesh mesh;
    mesh.start = {0.5f, 1.7f, -10.0f};
    mesh.vertices = {{{-1.0f, 0.0f, 8.0f}, 0.0f, 1.0f},
                     {{-1.0f, 2.0f, 8.0f}, 0.0f, 0.0f},
                     {{1.0f, 2.0f, 8.0f}, 1.0f, 0.0f},
                     {{1.0f, 0.0f, 8.0f}, 1.0f, 1.0f}};
    mesh.triangles = {{0, 1, 2, 0}, {0, 2, 3, 1}};
    for (int k = 0; k < 6; ++k) {
        mesh.vertices.push_back({{static_cast<float>(k), 0.0f, 9.0f}, 0.25f, 0.75f});
    }
    mesh.triangles.push_back({8, 9, 3, 1});  // indices 8 and 9 must not come out as "010"-style octal
    return mesh;
}

}  // namespace

TEST(MapWriter, WrittenMapReadsBackWithTheViewersRules) {
    const MapMesh mesh = TwoTriangles();
    const std::string text =
        FormatMap(mesh, {"old brick.png", "grass.bmp"}, "\nnot part of the map % 0x10\n");
    Reader in{text.c_str()};
    EXPECT_FLOAT_EQ(in.Float(), 0.5f);
    EXPECT_FLOAT_EQ(in.Float(), 1.7f);
    EXPECT_FLOAT_EQ(in.Float(), -10.0f);
    ASSERT_EQ(in.Integer(), 3);
    for (const MapTriangle& t : mesh.triangles) {
        EXPECT_EQ(in.Integer(), t.a);
        EXPECT_EQ(in.Integer(), t.b);
        EXPECT_EQ(in.Integer(), t.c);
        EXPECT_EQ(in.Integer(), t.texture);
    }
    ASSERT_EQ(in.Integer(), 10);
    for (const MapVertex& v : mesh.vertices) {
        EXPECT_FLOAT_EQ(in.Float(), v.position.x);
        EXPECT_FLOAT_EQ(in.Float(), v.position.y);
        EXPECT_FLOAT_EQ(in.Float(), v.position.z);
        EXPECT_FLOAT_EQ(in.Float(), v.u);
        EXPECT_FLOAT_EQ(in.Float(), v.v);
    }
    ASSERT_EQ(in.Integer(), 2);
    EXPECT_EQ(in.Name(), "old brick.png");
    EXPECT_EQ(in.Name(), "grass.bmp");
    // The line break after the last name, then the note, untouched.
    EXPECT_STREQ(in.p, "\n\nnot part of the map % 0x10\n");
}

TEST(MapWriter, NumbersAreShortPlainDecimalsWithoutNegativeZero) {
    EXPECT_EQ(FormatNumber(2.0f), "2");
    EXPECT_EQ(FormatNumber(-3.25f), "-3.25");
    EXPECT_EQ(FormatNumber(0.1f), "0.1");
    EXPECT_EQ(FormatNumber(1.0f / 3.0f), "0.3333");
    EXPECT_EQ(FormatNumber(-0.00001f), "0");
    EXPECT_EQ(FormatNumber(-0.0f), "0");
    EXPECT_EQ(FormatNumber(10.0f), "10");
}
