// Conversions of Direct3D 9 matrices, colours, vertex formats and primitive counts into what the
// OpenGL device needs. Not implemented: vertex formats beyond position, normal and one texture
// coordinate pair.
#include "platform/port/gl_translate.h"

D3DMATRIX MultiplyMatrices(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX out{};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            out.m[r][c] =
                a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c] + a.m[r][3] * b.m[3][c];
        }
    }
    return out;
}

D3DMATRIX ClipCorrection(int width, int height, bool depthZeroToOne) {
    D3DMATRIX c{};
    c.m[0][0] = 1.0f;
    c.m[1][1] = 1.0f;
    c.m[3][3] = 1.0f;
    // Half a pixel right and down, in clip units of w.
    c.m[3][0] = 1.0f / static_cast<float>(width);
    c.m[3][1] = -1.0f / static_cast<float>(height);
    if (depthZeroToOne) {
        c.m[2][2] = 1.0f;
    } else {
        c.m[2][2] = 2.0f;
        c.m[3][2] = -1.0f;
    }
    return c;
}

void ColourToFloats(D3DCOLOR colour, float rgba[4]) {
    rgba[0] = static_cast<float>((colour >> 16) & 0xFF) / 255.0f;
    rgba[1] = static_cast<float>((colour >> 8) & 0xFF) / 255.0f;
    rgba[2] = static_cast<float>(colour & 0xFF) / 255.0f;
    rgba[3] = static_cast<float>((colour >> 24) & 0xFF) / 255.0f;
}

VertexLayout LayoutOfFvf(DWORD fvf) {
    VertexLayout layout;
    if ((fvf & ~(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1)) != 0 || (fvf & D3DFVF_XYZ) == 0) {
        return layout;
    }
    layout.valid = true;
    layout.stride = 12;
    if ((fvf & D3DFVF_NORMAL) != 0) {
        layout.normalOffset = static_cast<int>(layout.stride);
        layout.stride += 12;
    }
    if ((fvf & D3DFVF_TEX1) != 0) {
        layout.texCoordOffset = static_cast<int>(layout.stride);
        layout.stride += 8;
    }
    return layout;
}

std::uint64_t IndexCountOf(D3DPRIMITIVETYPE type, UINT primCount) {
    const std::uint64_t n = primCount;
    if (n == 0) {
        return 0;
    }
    switch (type) {
        case D3DPT_POINTLIST:
            return n;
        case D3DPT_LINELIST:
            return n * 2;
        case D3DPT_LINESTRIP:
            return n + 1;
        case D3DPT_TRIANGLELIST:
            return n * 3;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN:
            return n + 2;
        default:
            return 0;
    }
}
