// Every shape must face outwards, or the viewer's back-face culling would hide it from outside.
#include "tools/make_courtyard/mesh.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Point FaceNormal(const MapMesh& mesh, const MapTriangle& t) {
    const Point p0 = mesh.vertices[t.a].position;
    return Cross(mesh.vertices[t.b].position - p0, mesh.vertices[t.c].position - p0);
}

Point Centroid(const MapMesh& mesh, const MapTriangle& t) {
    return (mesh.vertices[t.a].position + mesh.vertices[t.b].position + mesh.vertices[t.c].position) *
           (1.0f / 3.0f);
}

// For a convex shape: every face's normal points away from a point inside it.
void ExpectFacingAwayFrom(const MapMesh& mesh, Point inside) {
    ASSERT_FALSE(mesh.triangles.empty());
    for (const MapTriangle& t : mesh.triangles) {
        EXPECT_GT(Dot(FaceNormal(mesh, t), Centroid(mesh, t) - inside), 0.0f)
            << "triangle " << t.a << " " << t.b << " " << t.c;
    }
}

}  // namespace

TEST(Shapes, ConvexShapesFaceOutwards) {
    MapMesh box;
    AddBox(box, {1.0f, 0.0f, 2.0f}, {3.0f, 1.0f, 5.0f}, Plain(0, 1.0f), true);
    EXPECT_EQ(box.triangles.size(), 12u);
    ExpectFacingAwayFrom(box, {2.0f, 0.5f, 3.5f});

    MapMesh crate;
    AddTurnedBox(crate, {4.0f, 0.0f, -1.0f}, {1.0f, 2.0f, 1.5f}, 0.7f, 0);
    EXPECT_EQ(crate.triangles.size(), 10u);
    ExpectFacingAwayFrom(crate, {4.0f, 1.0f, -1.0f});

    MapMesh column;
    AddCylinder(column, {0.0f, 1.0f, 0.0f}, 0.5f, 3.0f, 12, Plain(0, 1.0f));
    ExpectFacingAwayFrom(column, {0.0f, 2.5f, 0.0f});

    MapMesh cone;
    AddCone(cone, {2.0f, 0.0f, 2.0f}, 1.0f, 4.0f, 10, 0, 1.0f);
    ExpectFacingAwayFrom(cone, {2.0f, 1.0f, 2.0f});

    MapMesh obelisk;
    AddObelisk(obelisk, {0.0f, 0.0f, 0.0f}, 1.0f, 0.6f, 5.0f, 0.5f, Plain(0, 1.0f));
    EXPECT_EQ(obelisk.triangles.size(), 12u);
    ExpectFacingAwayFrom(obelisk, {0.0f, 2.0f, 0.0f});
}

TEST(Shapes, DiscAndRingRimFaceUpAndTheRingWallsFaceAwayFromTheirSurface) {
    MapMesh disc;
    AddDisc(disc, {1.0f, 0.5f, 1.0f}, 2.0f, 8, 0, 1.0f);
    for (const MapTriangle& t : disc.triangles) {
        EXPECT_GT(FaceNormal(disc, t).y, 0.0f);
    }

    MapMesh ring;
    AddRing(ring, {0.0f, 0.0f, 0.0f}, 1.0f, 1.5f, 0.5f, 8, Plain(0, 1.0f));
    int outer = 0;
    int inner = 0;
    int rim = 0;
    for (const MapTriangle& t : ring.triangles) {
        const Point n = FaceNormal(ring, t);
        const Point c = Centroid(ring, t);
        const float radius = std::hypot(c.x, c.z);
        const float radial = n.x * c.x + n.z * c.z;
        if (std::fabs(c.y - 0.5f) < 1e-4f) {
            EXPECT_GT(n.y, 0.0f);
            ++rim;
        } else if (radius > 1.25f) {
            EXPECT_GT(radial, 0.0f);  // the outside of the basin
            ++outer;
        } else {
            EXPECT_LT(radial, 0.0f);  // the inside, seen from within
            ++inner;
        }
    }
    EXPECT_EQ(outer, 16);
    EXPECT_EQ(inner, 16);
    EXPECT_EQ(rim, 16);
}

TEST(Shapes, CylinderSidesShareVerticesSoTheyShadeSmoothly) {
    MapMesh column;
    AddCylinder(column, {0.0f, 0.0f, 0.0f}, 0.5f, 2.0f, 16, Plain(0, 1.0f));
    // 17 pairs around the side (the seam pair doubled for the texture) and a 17-vertex top.
    EXPECT_EQ(column.vertices.size(), 2u * 17u + 17u + 1u);
    // Texture coordinates wrap a whole number of times, so the seam does not show.
    const float seamU = column.vertices[2 * 16].u;
    EXPECT_FLOAT_EQ(seamU, std::round(seamU));
}

TEST(Shapes, WorldQuadsLineUpTheirTexturesAcrossNeighbours) {
    MapMesh wall;
    AddWorldQuad(wall, {0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {1.5f, 0.0f, 0.0f}, 0, 2.0f);
    AddWorldQuad(wall, {1.5f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {1.5f, 0.0f, 0.0f}, 0, 2.0f);
    // The right edge of the first and the left edge of the second share texture coordinates.
    EXPECT_FLOAT_EQ(wall.vertices[2].u, wall.vertices[4].u);
    EXPECT_FLOAT_EQ(wall.vertices[3].u, wall.vertices[5].u);
    EXPECT_FLOAT_EQ(wall.vertices[2].v, wall.vertices[5].v);
    // v grows downwards, as images are stored.
    EXPECT_LT(wall.vertices[1].v, wall.vertices[0].v);
}

TEST(Shapes, AppendMovedShiftsPositionsAndRenumbersIndices) {
    MapMesh box;
    AddBox(box, {0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, Plain(2, 1.0f));
    MapMesh two = box;
    AppendMoved(two, box, {10.0f, 0.0f, -5.0f});
    ASSERT_EQ(two.triangles.size(), 2 * box.triangles.size());
    const MapTriangle& copy = two.triangles[box.triangles.size()];
    EXPECT_EQ(copy.a, box.triangles[0].a + static_cast<int>(box.vertices.size()));
    EXPECT_EQ(copy.texture, 2);
    EXPECT_FLOAT_EQ(two.vertices[copy.a].position.x, box.vertices[box.triangles[0].a].position.x + 10.0f);
    EXPECT_FLOAT_EQ(two.vertices[copy.a].position.z, box.vertices[box.triangles[0].a].position.z - 5.0f);
}
