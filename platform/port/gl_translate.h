#pragma once
// Direct3D 9 values in OpenGL's terms, without calling OpenGL, so the conversions can be tested
// without a context.
#include <cstdint>

#include "platform/port/d3d9.h"

// Row vectors: a point p becomes p * a * b.
D3DMATRIX MultiplyMatrices(const D3DMATRIX& a, const D3DMATRIX& b);
// Appended to the projection, makes OpenGL rasterise where Direct3D 9 does on a width × height
// target: pixel centres on integer coordinates, and z from 0…w onto −w…w unless the context
// already clips z to 0…w (glClipControl).
D3DMATRIX ClipCorrection(int width, int height, bool depthZeroToOne);
// A D3DCOLOR (A, R, G, B from the high byte down) as r, g, b, a floats.
void ColourToFloats(D3DCOLOR colour, float rgba[4]);

struct VertexLayout {
    bool valid = false;
    UINT stride = 0;
    int normalOffset = -1;    // -1: no normal
    int texCoordOffset = -1;  // -1: no texture coordinates
};

// Positions, normals and one pair of texture coordinates are the formats understood.
VertexLayout LayoutOfFvf(DWORD fvf);
// Indices needed to draw primCount primitives; 0 for unknown types.
std::uint64_t IndexCountOf(D3DPRIMITIVETYPE type, UINT primCount);
