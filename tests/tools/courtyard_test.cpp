// The sample scenes: sizes, valid indices, floors that face up, and the committed files in step
// with the tool.
#include "tools/make_courtyard/courtyard.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tools/make_courtyard/map_writer.h"
#include "tools/make_courtyard/textures.h"

namespace {

void ExpectWellFormed(const MapMesh& mesh) {
    const int vertexCount = static_cast<int>(mesh.vertices.size());
    int bad = 0;
    for (const MapTriangle& t : mesh.triangles) {
        for (int index : {t.a, t.b, t.c}) {
            bad += index < 0 || index >= vertexCount;
        }
        bad += t.texture < 0 || t.texture >= kTextureCount;
        if (bad == 0) {
            const Point p0 = mesh.vertices[t.a].position;
            const Point n = Cross(mesh.vertices[t.b].position - p0, mesh.vertices[t.c].position - p0);
            bad += Dot(n, n) <= 0.0f;  // no zero-area triangles: they would get no normal
        }
    }
    EXPECT_EQ(bad, 0);
}

std::vector<std::string> TextureNames() {
    return {kTextureFileNames, kTextureFileNames + kTextureCount};
}

}  // namespace

TEST(Courtyard, IsAFewThousandTrianglesUsingEveryTexture) {
    const MapMesh mesh = BuildCourtyard();
    EXPECT_GE(mesh.triangles.size(), 300u);
    EXPECT_LE(mesh.triangles.size(), 5000u);
    ExpectWellFormed(mesh);
    std::set<int> used;
    for (const MapTriangle& t : mesh.triangles) {
        used.insert(t.texture);
    }
    EXPECT_EQ(used.size(), static_cast<std::size_t>(kTextureCount));
}

TEST(Courtyard, EverythingLyingOnTheGroundFacesUp) {
    const MapMesh mesh = BuildCourtyard();
    int flat = 0;
    for (const MapTriangle& t : mesh.triangles) {
        const Point p0 = mesh.vertices[t.a].position;
        const Point p1 = mesh.vertices[t.b].position;
        const Point p2 = mesh.vertices[t.c].position;
        if (p0.y == 0.0f && p1.y == 0.0f && p2.y == 0.0f) {
            EXPECT_GT(Cross(p1 - p0, p2 - p0).y, 0.0f);
            ++flat;
        }
    }
    EXPECT_GT(flat, 100);
}

TEST(Courtyard, StartsAtEyeHeightInsideTheWalls) {
    const MapMesh mesh = BuildCourtyard();
    EXPECT_GT(mesh.start.y, 1.0f);
    EXPECT_LT(mesh.start.y, 3.0f);
    EXPECT_GT(mesh.start.x, -10.0f);
    EXPECT_LT(mesh.start.x, 10.0f);
    EXPECT_GT(mesh.start.z, -12.0f);
    EXPECT_LT(mesh.start.z, 12.0f);
}

TEST(Courtyard, LargeGridHasAboutAMillionTriangles) {
    const MapMesh mesh = BuildCourtyardGrid(1000000);
    EXPECT_GE(mesh.triangles.size(), 900000u);
    EXPECT_LE(mesh.triangles.size(), 1100000u);
    EXPECT_EQ(mesh.start.y, BuildCourtyard().start.y);
    ExpectWellFormed(mesh);
}

TEST(Courtyard, CommittedSampleMatchesWhatTheToolWrites) {
    const std::string folder = std::string(VELLMORA_SOURCE_DIR) + "/examples/courtyard/";
    std::ifstream file(folder + "map.txt", std::ios::binary);
    ASSERT_TRUE(file) << "examples/courtyard/map.txt is missing";
    std::ostringstream committed;
    committed << file.rdbuf();
    EXPECT_TRUE(committed.str() == FormatMap(BuildCourtyard(), TextureNames(), kMapNote))
        << "run build/linux/tools/make_courtyard from the repository root and commit examples/courtyard";
}
