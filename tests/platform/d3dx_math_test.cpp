#include <gtest/gtest.h>

#include <cmath>

#include "platform/d3dx.h"

namespace {

TEST(D3DXVec3Normalize, ScalesToUnitLengthAndWorksInPlace) {
    Vec3 v{3.0f, 0.0f, 4.0f};
    EXPECT_EQ(D3DXVec3Normalize(&v, &v), &v);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.0f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);
}

TEST(D3DXVec3Normalize, ZeroVectorGivesZeroNotNaN) {
    const Vec3 zero{0.0f, 0.0f, 0.0f};
    Vec3 out{1.0f, 1.0f, 1.0f};
    D3DXVec3Normalize(&out, &zero);
    EXPECT_EQ(out.x, 0.0f);
    EXPECT_EQ(out.y, 0.0f);
    EXPECT_EQ(out.z, 0.0f);
}

TEST(D3DXMatrixLookAtLH, BuildsTheDocumentedViewMatrix) {
    const Vec3 eye{1.0f, 2.0f, -5.0f};
    const Vec3 at{1.0f, 2.0f, 0.0f};
    const Vec3 up{0.0f, 1.0f, 0.0f};
    Matrix4 m;
    D3DXMatrixLookAtLH(&m, &eye, &at, &up);
    const float expected[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {-1, -2, 5, 1}};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_FLOAT_EQ(m.m[r][c], expected[r][c]) << r << "," << c;
        }
    }
}

TEST(D3DXMatrixLookAtLH, LookingRightPutsWorldXOnViewZ) {
    const Vec3 eye{0.0f, 0.0f, 0.0f};
    const Vec3 at{1.0f, 0.0f, 0.0f};
    const Vec3 up{0.0f, 1.0f, 0.0f};
    Matrix4 m;
    D3DXMatrixLookAtLH(&m, &eye, &at, &up);
    // x axis = up × z = (0,0,-1); a point ahead on +x lands at view z > 0.
    EXPECT_FLOAT_EQ(m.m[0][2], 1.0f);
    EXPECT_FLOAT_EQ(m.m[2][0], -1.0f);
    EXPECT_FLOAT_EQ(m.m[1][1], 1.0f);
}

TEST(D3DXMatrixPerspectiveFovLH, MapsNearToZeroAndFarToOne) {
    const float fov = 0.7853982f;
    Matrix4 m;
    D3DXMatrixPerspectiveFovLH(&m, fov, 16.0f / 9.0f, 0.1f, 100.0f);
    const float yScale = 1.0f / std::tan(fov / 2.0f);
    EXPECT_FLOAT_EQ(m.m[1][1], yScale);
    EXPECT_FLOAT_EQ(m.m[0][0], yScale / (16.0f / 9.0f));
    EXPECT_FLOAT_EQ(m.m[2][3], 1.0f);
    EXPECT_EQ(m.m[3][3], 0.0f);
    EXPECT_EQ(m.m[0][1], 0.0f);
    for (float z : {0.1f, 100.0f}) {
        const float clipZ = z * m.m[2][2] + m.m[3][2];
        const float clipW = z * m.m[2][3];
        EXPECT_NEAR(clipZ / clipW, z == 0.1f ? 0.0f : 1.0f, 1e-6f);
    }
}

TEST(D3DXMatrixTranslation, ZeroIsTheIdentityAndOffsetsGoInTheLastRow) {
    Matrix4 m;
    D3DXMatrixTranslation(&m, 0.0f, 0.0f, 0.0f);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(m.m[r][c], r == c ? 1.0f : 0.0f);
        }
    }
    D3DXMatrixTranslation(&m, 1.0f, 2.0f, 3.0f);
    EXPECT_EQ(m.m[3][0], 1.0f);
    EXPECT_EQ(m.m[3][1], 2.0f);
    EXPECT_EQ(m.m[3][2], 3.0f);
}

}  // namespace
