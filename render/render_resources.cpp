// Creates the device, the depth surface, the scene's buffers and the fixed pipeline state, and
// releases them all at the end.
#include "render/render_resources.h"

#include <cstdint>
#include <cstring>

#include "platform/report.h"
#include "scene/map_file.h"
#include "scene/view_limits.h"

RenderResources gRender;

namespace {

// Copies length bytes into a freshly made buffer; a lock that hands back no memory fails too.
template <typename Buffer>
DeviceStep FillBuffer(Buffer* buffer, const void* contents, UINT length, const char* lockStep) {
    void* data = nullptr;
    const HRESULT locked = buffer->Lock(0, length, &data, 0);
    if (FAILED(locked) || (data == nullptr && length != 0)) {
        return {lockStep, FAILED(locked) ? locked : E_FAIL};
    }
    if (length != 0) {
        std::memcpy(data, contents, length);
    }
    buffer->Unlock();
    return {};
}

DeviceStep MakeIndexBuffer(const SceneData& scene, IDirect3DIndexBuffer9*& buffer) {
    const UINT bytes = static_cast<UINT>(scene.indexCount) * 4;
    const HRESULT created = gRender.device->CreateIndexBuffer(bytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX32,
                                                              D3DPOOL_DEFAULT, &buffer, nullptr);
    if (FAILED(created)) {
        buffer = nullptr;
        return {"CreateIndexBuffer", created};
    }
    return FillBuffer(buffer, scene.indices.data(), bytes, "locking the index buffer");
}

DeviceStep MakeVertexBuffer(const SceneData& scene, IDirect3DVertexBuffer9*& buffer) {
    const UINT bytes = static_cast<UINT>(scene.vertexCount) * sizeof(Vertex);
    const HRESULT created =
        gRender.device->CreateVertexBuffer(bytes, 0, kVertexFvf, D3DPOOL_DEFAULT, &buffer, nullptr);
    if (FAILED(created)) {
        buffer = nullptr;
        return {"CreateVertexBuffer", created};
    }
    return FillBuffer(buffer, scene.vertices.data(), bytes, "locking the vertex buffer");
}

bool Fail(const char* step) {
    ReportLine("vellmora: %s failed", step);
    return false;
}

}  // namespace

bool CreateDeviceObjects(HWND window, const ScreenMetrics& screen) {
    gRender.d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (gRender.d3d == nullptr) {
        return Fail("Direct3DCreate9");
    }
    D3DPRESENT_PARAMETERS& parameters = gRender.presentation;
    std::memset(&parameters, 0, sizeof parameters);
    parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.Windowed = TRUE;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    // The device may write the sizes it chose into its copy; a reset asks again as at first.
    D3DPRESENT_PARAMETERS asked = parameters;
    if (FAILED(gRender.d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                         D3DCREATE_HARDWARE_VERTEXPROCESSING, &asked, &gRender.device))) {
        gRender.device = nullptr;
        return Fail("IDirect3D9::CreateDevice");
    }
    CreateDepthSurface(screen);
    return true;
}

void CreateDepthSurface(const ScreenMetrics& screen) {
    // Without a depth surface the device keeps drawing with none; the start-up goes on.
    gRender.device->CreateDepthStencilSurface(static_cast<UINT>(screen.width),
                                              static_cast<UINT>(screen.height), D3DFMT_D16,
                                              D3DMULTISAMPLE_NONE, 0, TRUE, &gRender.depthSurface, nullptr);
    gRender.device->SetDepthStencilSurface(gRender.depthSurface);
    gRender.device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
}

SceneBuffers MakeSceneBuffers(SceneData& scene) {
    SceneBuffers made;
    // Buffer lengths are 32-bit byte counts: a larger map is refused rather than silently cut short.
    made.refusal = TooLargeForBuffers(scene);
    if (!made.refusal.empty()) return made;
    made.step = MakeIndexBuffer(scene, made.indices);
    if (made.step.failed != nullptr) {
        if (scene.indexCount == 0) made.refusal = NoTrianglesRefusal(kMapFileName);
        return made;
    }
    FreeArray(scene.indices);
    made.step = MakeVertexBuffer(scene, made.vertices);
    if (made.step.failed == nullptr) FreeArray(scene.vertices);
    return made;
}

void SetSceneBuffers() {
    gRender.device->SetStreamSource(0, gRender.vertexBuffer, 0, sizeof(Vertex));
    gRender.device->SetIndices(gRender.indexBuffer);
}

void SetSceneState(const ScreenMetrics& screen) {
    IDirect3DDevice9* device = gRender.device;
    SetSceneBuffers();
    device->SetFVF(kVertexFvf);

    D3DMATERIAL9 material;
    std::memset(&material, 0, sizeof material);
    material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    device->SetMaterial(&material);

    device->SetLight(0, &gRender.light);
    device->LightEnable(0, TRUE);

    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, kAmbientColour);

    D3DXMatrixTranslation(&gRender.world, 0.0f, 0.0f, 0.0f);
    device->SetTransform(D3DTS_WORLD, &gRender.world);

    const float aspect = static_cast<float>(screen.width) / static_cast<float>(screen.height);
    D3DXMatrixPerspectiveFovLH(&gRender.projection, kFieldOfView, aspect, kNearPlane, kFarPlane);
    device->SetTransform(D3DTS_PROJECTION, &gRender.projection);
}

bool CreateSceneResources(SceneData& scene, const ScreenMetrics& screen) {
    const SceneBuffers made = MakeSceneBuffers(scene);
    gRender.indexBuffer = made.indices;
    gRender.vertexBuffer = made.vertices;
    if (!made.refusal.empty()) {
        ReportLine("%s", made.refusal.c_str());
        return false;
    }
    if (made.step.failed != nullptr) {
        return Fail(made.step.failed);
    }

    // Position and direction stay zero until the first frame aims the light.
    std::memset(&gRender.light, 0, sizeof gRender.light);
    gRender.light.Type = D3DLIGHT_DIRECTIONAL;
    gRender.light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    SetSceneState(screen);
    return true;
}

void ReleaseDefaultPool() {
    ReleaseOnce(gRender.vertexBuffer);
    ReleaseOnce(gRender.indexBuffer);
    ReleaseOnce(gRender.depthSurface);
}

void ReleaseAll(SceneData& scene) {
    for (IDirect3DTexture9*& texture : scene.textures) {
        ReleaseOnce(texture);
    }
    ReleaseDefaultPool();
    ReleaseOnce(gRender.device);
    ReleaseOnce(gRender.d3d);
}
