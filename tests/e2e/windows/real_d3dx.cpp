// Calls into the real d3dx9_43 library; kept apart from our own functions of the same names.
#include "tests/e2e/windows/real_d3dx.h"

#include <d3dx9math.h>

#include <cstring>

void RealVec3Normalize(float out[3], const float in[3]) {
    D3DXVECTOR3 vector(in[0], in[1], in[2]);
    D3DXVECTOR3 result;
    D3DXVec3Normalize(&result, &vector);
    std::memcpy(out, &result, sizeof(float) * 3);
}

void RealMatrixLookAtLH(float out[16], const float eye[3], const float at[3], const float up[3]) {
    D3DXVECTOR3 e(eye[0], eye[1], eye[2]);
    D3DXVECTOR3 a(at[0], at[1], at[2]);
    D3DXVECTOR3 u(up[0], up[1], up[2]);
    D3DXMATRIX result;
    D3DXMatrixLookAtLH(&result, &e, &a, &u);
    std::memcpy(out, &result, sizeof(float) * 16);
}

void RealMatrixPerspectiveFovLH(float out[16], float fovY, float aspect, float zNear, float zFar) {
    D3DXMATRIX result;
    D3DXMatrixPerspectiveFovLH(&result, fovY, aspect, zNear, zFar);
    std::memcpy(out, &result, sizeof(float) * 16);
}

void RealMatrixTranslation(float out[16], float x, float y, float z) {
    D3DXMATRIX result;
    D3DXMatrixTranslation(&result, x, y, z);
    std::memcpy(out, &result, sizeof(float) * 16);
}
