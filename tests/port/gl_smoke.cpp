// A small program over the port, for a display: full-screen window, the device set up as the viewer
// sets it up, and a fixed picture whose pixels gl_smoke_check.py checks: a point-sampled, wrapped
// 2 × 2 texture (red, green / blue, white) lit head-on, grey quads lit at a slant, from behind and
// overlapping in depth, and two triangles of opposite winding. Pixel coordinates map straight to
// the screen; quad edges lie a quarter pixel past integers so a half-pixel error shows. Escape quits.
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/platform.h"

namespace {

struct SmokeVertex {
    float x, y, z, nx, ny, nz, u, v;
};

std::vector<SmokeVertex> gVertices;
std::vector<std::uint32_t> gIndices;

void AddQuad(float left, float top, float right, float bottom, float z, D3DVECTOR normal, float uvScale) {
    const auto first = static_cast<std::uint32_t>(gVertices.size());
    gVertices.push_back({left, top, z, normal.x, normal.y, normal.z, 0, 0});
    gVertices.push_back({right, top, z, normal.x, normal.y, normal.z, uvScale, 0});
    gVertices.push_back({right, bottom, z, normal.x, normal.y, normal.z, uvScale, uvScale});
    gVertices.push_back({left, bottom, z, normal.x, normal.y, normal.z, 0, uvScale});
    // Clockwise on screen (y runs down): kept by Direct3D's default culling.
    for (std::uint32_t i : {0u, 1u, 2u, 0u, 2u, 3u}) {
        gIndices.push_back(first + i);
    }
}

void AddTriangle(const float (&corners)[3][2]) {
    const auto first = static_cast<std::uint32_t>(gVertices.size());
    for (std::uint32_t i = 0; i < 3; ++i) {
        gVertices.push_back({corners[i][0], corners[i][1], 0.5f, 0, 0, -1, 0, 0});
        gIndices.push_back(first + i);
    }
}

LRESULT CALLBACK SmokeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        message = WM_CLOSE;
    } else if (message == WM_DESTROY) {
        PostQuitMessage(0);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

template <typename Buffer>
bool Fill(Buffer* buffer, const void* data, UINT bytes) {
    void* target = nullptr;
    if (FAILED(buffer->Lock(0, bytes, &target, 0))) {
        return false;
    }
    std::memcpy(target, data, bytes);
    buffer->Unlock();
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_CLASSDC;
    windowClass.lpfnWndProc = SmokeProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"Port smoke";
    if (RegisterClassExW(&windowClass) == 0) {
        return E_FAIL;
    }
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const HWND window = CreateWindowExW(0, L"Port smoke", L"Port smoke", WS_POPUP, 0, 0, width, height,
                                        GetDesktopWindow(), nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);

    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (d3d == nullptr) {
        return E_FAIL;
    }
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.Windowed = TRUE;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    IDirect3DDevice9* device = nullptr;
    if (FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                 D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device))) {
        return E_FAIL;
    }
    IDirect3DSurface9* depth = nullptr;
    device->CreateDepthStencilSurface(static_cast<UINT>(width), static_cast<UINT>(height), D3DFMT_D16,
                                      D3DMULTISAMPLE_NONE, 0, TRUE, &depth, nullptr);
    device->SetDepthStencilSurface(depth);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);

    IDirect3DTexture9* texture = nullptr;
    D3DLOCKED_RECT locked{};
    if (FAILED(device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr)) ||
        FAILED(texture->LockRect(0, &locked, nullptr, 0))) {
        return E_FAIL;
    }
    const std::uint32_t texels[2][2] = {{0xFFFF0000u, 0xFF00FF00u}, {0xFF0000FFu, 0xFFFFFFFFu}};
    for (int row = 0; row < 2; ++row) {
        std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + row * locked.Pitch, texels[row], 8);
    }
    texture->UnlockRect(0);

    AddQuad(10.25f, 10.25f, 90.25f, 90.25f, 0.5f, {0, 0, -1}, 2);          // textured, head-on
    AddQuad(110.25f, 10.25f, 190.25f, 90.25f, 0.5f, {0.8f, 0, -0.6f}, 1);  // slanted: 64 + 0.6 * 255
    AddQuad(110.25f, 110.25f, 190.25f, 190.25f, 0.5f, {0, 0, 1}, 1);       // from behind: ambient only
    AddQuad(10.25f, 110.25f, 60.25f, 190.25f, 0.3f, {0, 0, -1}, 1);        // near, white ...
    AddQuad(40.25f, 110.25f, 90.25f, 190.25f, 0.6f, {0.8f, 0, -0.6f}, 1);  // ... over the far grey one
    AddTriangle({{210, 10}, {210, 90}, {300, 10}});                        // counter-clockwise: culled
    AddTriangle({{210, 110}, {300, 110}, {210, 190}});                     // clockwise: drawn

    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    const auto vertexBytes = static_cast<UINT>(gVertices.size() * sizeof(SmokeVertex));
    const auto indexBytes = static_cast<UINT>(gIndices.size() * 4);
    const DWORD fvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
    if (FAILED(device->CreateVertexBuffer(vertexBytes, 0, fvf, D3DPOOL_DEFAULT, &vertices, nullptr)) ||
        !Fill(vertices, gVertices.data(), vertexBytes) ||
        FAILED(device->CreateIndexBuffer(indexBytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX32, D3DPOOL_DEFAULT,
                                         &indices, nullptr)) ||
        !Fill(indices, gIndices.data(), indexBytes)) {
        return E_FAIL;
    }
    device->SetStreamSource(0, vertices, 0, sizeof(SmokeVertex));
    device->SetIndices(indices);
    device->SetFVF(fvf);

    D3DMATERIAL9 material{};
    material.Diffuse = material.Ambient = {1, 1, 1, 1};
    device->SetMaterial(&material);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 0};
    light.Direction = {0, 0, 1};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, 0x00404040);
    // x from 0 … width to −1 … 1, y from 0 … height to 1 … −1, z unchanged.
    D3DMATRIX projection{};
    projection.m[0][0] = 2.0f / static_cast<float>(width);
    projection.m[1][1] = -2.0f / static_cast<float>(height);
    projection.m[2][2] = 1.0f;
    projection.m[3][0] = -1.0f;
    projection.m[3][1] = 1.0f;
    projection.m[3][3] = 1.0f;
    const D3DMATRIX identity{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetTransform(D3DTS_VIEW, &identity);
    device->SetTransform(D3DTS_WORLD, &identity);

    const auto vertexCount = static_cast<UINT>(gVertices.size());
    MSG msg{};
    while (msg.message != WM_QUIT) {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00000000, 1.0f, 0);
        device->BeginScene();
        device->SetTexture(0, texture);
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, vertexCount, 0, 2);
        device->SetTexture(0, nullptr);
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, vertexCount, 6,
                                     static_cast<UINT>(gIndices.size() / 3 - 2));
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    texture->Release();
    vertices->Release();
    indices->Release();
    depth->Release();
    device->Release();
    d3d->Release();
    return 0;
}
