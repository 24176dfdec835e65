// Vector and matrix helpers with the results D3DX documents for them.
#include <cmath>

#include "platform/d3dx.h"

Vec3* WINAPI D3DXVec3Normalize(Vec3* out, const Vec3* in) {
    *out = Normalized(*in);
    return out;
}

Matrix4* WINAPI D3DXMatrixLookAtLH(Matrix4* out, const Vec3* eye, const Vec3* at, const Vec3* up) {
    Vec3 zAxis = *at - *eye;
    D3DXVec3Normalize(&zAxis, &zAxis);
    Vec3 xAxis = Cross(*up, zAxis);
    D3DXVec3Normalize(&xAxis, &xAxis);
    const Vec3 yAxis = Cross(zAxis, xAxis);
    float(&m)[4][4] = out->m;
    m[0][0] = xAxis.x;
    m[0][1] = yAxis.x;
    m[0][2] = zAxis.x;
    m[0][3] = 0.0f;
    m[1][0] = xAxis.y;
    m[1][1] = yAxis.y;
    m[1][2] = zAxis.y;
    m[1][3] = 0.0f;
    m[2][0] = xAxis.z;
    m[2][1] = yAxis.z;
    m[2][2] = zAxis.z;
    m[2][3] = 0.0f;
    m[3][0] = -Dot(xAxis, *eye);
    m[3][1] = -Dot(yAxis, *eye);
    m[3][2] = -Dot(zAxis, *eye);
    m[3][3] = 1.0f;
    return out;
}

Matrix4* WINAPI D3DXMatrixPerspectiveFovLH(Matrix4* out, float fovY, float aspect, float zNear, float zFar) {
    const float yScale = 1.0f / std::tan(fovY / 2.0f);
    *out = Matrix4{};
    out->m[0][0] = yScale / aspect;
    out->m[1][1] = yScale;
    out->m[2][2] = zFar / (zFar - zNear);
    out->m[2][3] = 1.0f;
    out->m[3][2] = (zFar * zNear) / (zNear - zFar);
    return out;
}

Matrix4* WINAPI D3DXMatrixTranslation(Matrix4* out, float x, float y, float z) {
    *out = Matrix4{};
    out->m[0][0] = 1.0f;
    out->m[1][1] = 1.0f;
    out->m[2][2] = 1.0f;
    out->m[3][3] = 1.0f;
    out->m[3][0] = x;
    out->m[3][1] = y;
    out->m[3][2] = z;
    return out;
}
