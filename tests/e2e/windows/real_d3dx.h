#pragma once
// The real D3DX 9 functions (d3dx9_43.dll), reached through plain float arrays so that this
// header does not meet the D3DX header, whose types clash with ours.

void RealVec3Normalize(float out[3], const float in[3]);
void RealMatrixLookAtLH(float out[16], const float eye[3], const float at[3], const float up[3]);
void RealMatrixPerspectiveFovLH(float out[16], float fovY, float aspect, float zNear, float zFar);
void RealMatrixTranslation(float out[16], float x, float y, float z);
