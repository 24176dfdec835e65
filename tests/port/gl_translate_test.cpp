#include "platform/port/gl_translate.h"

#include <gtest/gtest.h>

#include "platform/d3dx.h"

namespace {

struct Clip {
    float x, y, z, w;
};

Clip Transform(const Clip& p, const D3DMATRIX& m) {
    Clip out{};
    float* o = &out.x;
    for (int c = 0; c < 4; ++c) {
        o[c] = p.x * m.m[0][c] + p.y * m.m[1][c] + p.z * m.m[2][c] + p.w * m.m[3][c];
    }
    return out;
}

TEST(GlTranslate, MatricesMultiplyInRowVectorOrder) {
    Matrix4 translate;
    D3DXMatrixTranslation(&translate, 1, 0, 0);
    D3DMATRIX scale{{{2, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 2, 0}, {0, 0, 0, 1}}};
    const Clip moved = Transform({1, 0, 0, 1}, MultiplyMatrices(translate, scale));
    EXPECT_FLOAT_EQ(moved.x, 4.0f);
}

// Where Direct3D 9 puts a point on a width × height target (pixels from the top-left corner, with
// pixel centres on integers), OpenGL must put it half a pixel further on (centres at .5, rows from
// the bottom), at the same depth.
void ExpectSamePlacement(bool depthZeroToOne) {
    const int width = 640;
    const int height = 480;
    Matrix4 projection;
    D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 640.0f / 480.0f, 0.1f, 100.0f);
    const D3DMATRIX gl = MultiplyMatrices(projection, ClipCorrection(width, height, depthZeroToOne));
    for (const Clip& point :
         {Clip{0, 0, 1, 1}, Clip{-3, 2, 7, 1}, Clip{0.5f, -0.25f, 0.1f, 1}, Clip{9, 9, 100, 1}}) {
        const Clip d = Transform(point, projection);
        const Clip g = Transform(point, gl);
        const float d3dX = (d.x / d.w + 1) / 2 * width;
        const float d3dY = (1 - d.y / d.w) / 2 * height;
        const float d3dDepth = d.z / d.w;
        const float glX = (g.x / g.w + 1) / 2 * width;
        const float glY = (g.y / g.w + 1) / 2 * height;
        const float glDepth = depthZeroToOne ? g.z / g.w : (g.z / g.w + 1) / 2;
        EXPECT_NEAR(glX, d3dX + 0.5f, 1e-3f);
        EXPECT_NEAR(glY, height - d3dY - 0.5f, 1e-3f);
        EXPECT_NEAR(glDepth, d3dDepth, 1e-6f);
    }
}

TEST(GlTranslate, CorrectedProjectionRasterisesWhereDirect3DDoesWithClipControl) {
    ExpectSamePlacement(true);
}

TEST(GlTranslate, CorrectedProjectionRasterisesWhereDirect3DDoesWithoutClipControl) {
    ExpectSamePlacement(false);
}

TEST(GlTranslate, ColoursUnpackFromArgb) {
    float rgba[4];
    ColourToFloats(0x80FF4000u, rgba);
    EXPECT_FLOAT_EQ(rgba[0], 1.0f);
    EXPECT_FLOAT_EQ(rgba[1], 64.0f / 255.0f);
    EXPECT_FLOAT_EQ(rgba[2], 0.0f);
    EXPECT_FLOAT_EQ(rgba[3], 128.0f / 255.0f);
}

TEST(GlTranslate, VertexLayoutsOfKnownFormatsAndRefusalOfOthers) {
    const VertexLayout scene = LayoutOfFvf(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
    EXPECT_TRUE(scene.valid);
    EXPECT_EQ(scene.stride, 32u);
    EXPECT_EQ(scene.normalOffset, 12);
    EXPECT_EQ(scene.texCoordOffset, 24);
    const VertexLayout textured = LayoutOfFvf(D3DFVF_XYZ | D3DFVF_TEX1);
    EXPECT_EQ(textured.stride, 20u);
    EXPECT_EQ(textured.normalOffset, -1);
    EXPECT_EQ(textured.texCoordOffset, 12);
    EXPECT_FALSE(LayoutOfFvf(D3DFVF_NORMAL).valid);
    EXPECT_FALSE(LayoutOfFvf(D3DFVF_XYZ | 0x040u).valid);  // a diffuse colour
}

TEST(GlTranslate, IndexCountsPerPrimitiveTypeWithoutOverflow) {
    EXPECT_EQ(IndexCountOf(D3DPT_TRIANGLELIST, 5), 15u);
    EXPECT_EQ(IndexCountOf(D3DPT_TRIANGLESTRIP, 5), 7u);
    EXPECT_EQ(IndexCountOf(D3DPT_LINELIST, 5), 10u);
    EXPECT_EQ(IndexCountOf(D3DPT_TRIANGLESTRIP, 0), 0u);
    EXPECT_EQ(IndexCountOf(static_cast<D3DPRIMITIVETYPE>(99), 5), 0u);
    EXPECT_EQ(IndexCountOf(D3DPT_TRIANGLELIST, 0xFFFFFFFFu), 3ull * 0xFFFFFFFFull);
}

}  // namespace
