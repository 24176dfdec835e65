#pragma once
// The Direct3D objects and fixed pipeline state, made at start-up, made again after a lost device
// is reset, and released at the end.
#include <string>

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

// What making a scene's buffers came to: the buffers made, and a refusal of the map or the device
// call that failed.
struct SceneBuffers {
    IDirect3DIndexBuffer9* indices = nullptr;
    IDirect3DVertexBuffer9* vertices = nullptr;
    std::string refusal;
    DeviceStep step;
};
// The scene's index and vertex arrays, each whole into a new buffer of the default pool and then
// freed. A map too large for Direct3D 9's 32-bit lengths is refused before any buffer is asked for,
// and one without triangles when the device will not make its empty index buffer. What was made
// before a failure is left to the caller.
SceneBuffers MakeSceneBuffers(SceneData& scene);
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
