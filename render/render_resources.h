#pragma once
// The Direct3D objects and fixed pipeline state, made once at start-up and released at the end.
#include "platform/d3dx.h"
#include "platform/screen_metrics.h"
#include "scene/scene_data.h"

constexpr float kFieldOfView = 0.7853982f;
constexpr float kNearPlane = 0.1f;
constexpr float kFarPlane = 100.0f;
constexpr D3DCOLOR kAmbientColour = 0x00404040;

struct RenderResources {
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    IDirect3DSurface9* depthSurface = nullptr;
    IDirect3DIndexBuffer9* indexBuffer = nullptr;
    IDirect3DVertexBuffer9* vertexBuffer = nullptr;
    D3DLIGHT9 light{};
    Matrix4 view{};
    Matrix4 projection{};
    Matrix4 world{};
};

extern RenderResources gRender;

bool CreateDeviceObjects(HWND window, const ScreenMetrics& screen);
bool CreateSceneResources(SceneData& scene, const ScreenMetrics& screen);
void ReleaseAll(SceneData& scene);
