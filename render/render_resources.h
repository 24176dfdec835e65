#pragma once
// The Direct3D objects and fixed pipeline state, made at start-up, made again after a lost device
// is reset, and released at the end.
#include "platform/d3dx.h"
#include "platform/screen_metrics.h"
#include "scene/scene_data.h"
#include "scene/view_limits.h"

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
    // What a reset needs again: the parameters as first asked for. The buffers' contents are read
    // again from the map file; holding them all the run long would keep the scene twice.
    D3DPRESENT_PARAMETERS presentation{};
    bool lost = false;  // Present said so; nothing is drawn until the device is restored
};

extern RenderResources gRender;

bool CreateDeviceObjects(HWND window, const ScreenMetrics& screen);
bool CreateSceneResources(SceneData& scene, const ScreenMetrics& screen);
void ReleaseAll(SceneData& scene);

// The steps a reset undoes, shared by the start-up and the recovery of a lost device.
struct DeviceStep {
    const char* failed = nullptr;  // the step that failed, or null
    HRESULT result = D3D_OK;
};
void CreateDepthSurface(const ScreenMetrics& screen);
// The scene's index or vertex array, whole, into a new buffer of the default pool; the sizes were
// checked against Direct3D 9's 32-bit lengths at the start-up.
DeviceStep MakeIndexBuffer(const SceneData& scene, IDirect3DIndexBuffer9*& buffer);
DeviceStep MakeVertexBuffer(const SceneData& scene, IDirect3DVertexBuffer9*& buffer);
// The buffers in gRender as the device's stream and indices.
void SetSceneBuffers();
void SetSceneState(const ScreenMetrics& screen);
// Releases the objects that live in the default pool, which a reset requires gone.
void ReleaseDefaultPool();

// The scene's arrays end once on the device: a reset or a reload reads them again from the map file.
template <typename Element>
void FreeArray(SceneArray<Element>& elements) {
    SceneArray<Element>().swap(elements);
}

template <typename Object>
void ReleaseOnce(Object*& object) {
    if (object != nullptr) {
        object->Release();
        object = nullptr;
    }
}
