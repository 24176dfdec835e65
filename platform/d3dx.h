#pragma once
// Vellmora's own versions of the five D3DX 9 functions it uses, under their published names,
// signatures and results, so the Windows program needs no D3DX runtime. They keep C++ linkage,
// so they never collide with the real library where both are linked.
#include <cmath>

#include "platform/platform.h"

// The layout of D3DXVECTOR3: a D3DVECTOR with arithmetic.
struct Vec3 : D3DVECTOR {
    Vec3() = default;
    constexpr Vec3(float x_, float y_, float z_) : D3DVECTOR{x_, y_, z_} {}
};

// The layout of D3DXMATRIX: a D3DMATRIX that SetTransform accepts as it is.
struct Matrix4 : D3DMATRIX {};

typedef Vec3 D3DXVECTOR3;
typedef Matrix4 D3DXMATRIX;

static_assert(sizeof(Vec3) == 12);
static_assert(sizeof(Matrix4) == 64);

// Each operation rounds to float, in the order written.
inline Vec3 operator+(const Vec3& a, const Vec3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(const Vec3& a, const Vec3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(const Vec3& a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline bool operator==(const Vec3& a, const Vec3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// in / |in|; the zero vector stays zero. Inline, so that a loop over many vectors keeps going.
inline Vec3 Normalized(const Vec3& v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0.0f) return Vec3{0.0f, 0.0f, 0.0f};
    return Vec3{v.x / length, v.y / length, v.z / length};
}

// *out = Normalized(*in). out may be in.
Vec3* WINAPI D3DXVec3Normalize(Vec3* out, const Vec3* in);
Matrix4* WINAPI D3DXMatrixLookAtLH(Matrix4* out, const Vec3* eye, const Vec3* at, const Vec3* up);
Matrix4* WINAPI D3DXMatrixPerspectiveFovLH(Matrix4* out, float fovY, float aspect, float zNear, float zFar);
Matrix4* WINAPI D3DXMatrixTranslation(Matrix4* out, float x, float y, float z);
// Decodes the image (BMP, PNG, JPEG, TGA, PPM/PGM, GIF, PSD, HDR, PIC, PFM, DDS) into a managed
// A8R8G8B8 texture with one level; a DXT-compressed DDS keeps its format where the adapter has it.
// On failure *texture is set to null and a failing HRESULT returned.
HRESULT WINAPI D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR srcFile,
                                          IDirect3DTexture9** texture);

#define D3DXERR_INVALIDDATA static_cast<HRESULT>(0x88760B59u)
