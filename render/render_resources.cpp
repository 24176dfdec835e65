// Creates the device, the depth surface, the scene's buffers and the fixed pipeline state, and
// releases them all at the end.
#include "render/render_resources.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "scene/map_loader.h"

RenderResources gRender;

namespace {

constexpr std::uint64_t kMaxBufferBytes = 0xFFFFFFFFu;

// Copies count elements into a freshly made buffer; a lock that hands back no memory fails too.
template <typename Buffer, typename Element>
bool FillBuffer(Buffer* buffer, const SceneArray<Element>& elements, UINT length) {
    void* data = nullptr;
    if (FAILED(buffer->Lock(0, length, &data, 0)) || (data == nullptr && length != 0)) {
        return false;
    }
    if (length != 0) {
        std::memcpy(data, elements.data(), length);
    }
    buffer->Unlock();
    return true;
}

template <typename Element>
void Free(SceneArray<Element>& elements) {
    SceneArray<Element>().swap(elements);
}

template <typename Object>
void ReleaseOnce(Object*& object) {
    if (object != nullptr) {
        object->Release();
        object = nullptr;
    }
}

bool Fail(const char* step) {
    std::fprintf(stderr, "vellmora: %s failed\n", step);
    return false;
}

}  // namespace

bool CreateDeviceObjects(HWND window, const ScreenMetrics& screen) {
    gRender.d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (gRender.d3d == nullptr) {
        return Fail("Direct3DCreate9");
    }
    D3DPRESENT_PARAMETERS parameters;
    std::memset(&parameters, 0, sizeof parameters);
    parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.Windowed = TRUE;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    if (FAILED(gRender.d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                         D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters,
                                         &gRender.device))) {
        gRender.device = nullptr;
        return Fail("IDirect3D9::CreateDevice");
    }
    // Without a depth surface the device keeps drawing with none; the start-up goes on.
    gRender.device->CreateDepthStencilSurface(static_cast<UINT>(screen.width),
                                              static_cast<UINT>(screen.height), D3DFMT_D16,
                                              D3DMULTISAMPLE_NONE, 0, TRUE, &gRender.depthSurface, nullptr);
    gRender.device->SetDepthStencilSurface(gRender.depthSurface);
    gRender.device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    return true;
}

bool CreateSceneResources(SceneData& scene, const ScreenMetrics& screen) {
    IDirect3DDevice9* device = gRender.device;
    // Buffer lengths are 32-bit byte counts: a larger map is refused rather than silently cut short.
    if (static_cast<std::uint64_t>(scene.indexCount) * 4 > kMaxBufferBytes ||
        static_cast<std::uint64_t>(scene.vertexCount) * sizeof(Vertex) > kMaxBufferBytes) {
        std::fprintf(stderr, "vellmora: the map is too large for Direct3D 9 buffers (4 GiB at most each)\n");
        return false;
    }
    const UINT indexBytes = static_cast<UINT>(scene.indexCount) * 4;
    if (FAILED(device->CreateIndexBuffer(indexBytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX32, D3DPOOL_DEFAULT,
                                         &gRender.indexBuffer, nullptr))) {
        gRender.indexBuffer = nullptr;
        if (scene.indexCount == 0) {
            std::fprintf(stderr,
                         "%s: the map has no triangles (Direct3D 9 cannot make an empty index buffer)\n",
                         kMapFileName);
            return false;
        }
        return Fail("CreateIndexBuffer");
    }
    if (!FillBuffer(gRender.indexBuffer, scene.indices, indexBytes)) {
        return Fail("locking the index buffer");
    }
    Free(scene.indices);

    const UINT vertexBytes = static_cast<UINT>(scene.vertexCount) * sizeof(Vertex);
    if (FAILED(device->CreateVertexBuffer(vertexBytes, 0, kVertexFvf, D3DPOOL_DEFAULT, &gRender.vertexBuffer,
                                          nullptr))) {
        gRender.vertexBuffer = nullptr;
        return Fail("CreateVertexBuffer");
    }
    if (!FillBuffer(gRender.vertexBuffer, scene.vertices, vertexBytes)) {
        return Fail("locking the vertex buffer");
    }
    Free(scene.vertices);

    device->SetStreamSource(0, gRender.vertexBuffer, 0, sizeof(Vertex));
    device->SetIndices(gRender.indexBuffer);
    device->SetFVF(kVertexFvf);

    D3DMATERIAL9 material;
    std::memset(&material, 0, sizeof material);
    material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    device->SetMaterial(&material);

    std::memset(&gRender.light, 0, sizeof gRender.light);
    gRender.light.Type = D3DLIGHT_DIRECTIONAL;
    gRender.light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    device->SetLight(0, &gRender.light);
    device->LightEnable(0, TRUE);

    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, kAmbientColour);

    D3DXMatrixTranslation(&gRender.world, 0.0f, 0.0f, 0.0f);
    device->SetTransform(D3DTS_WORLD, &gRender.world);

    const float aspect = static_cast<float>(screen.width) / static_cast<float>(screen.height);
    D3DXMatrixPerspectiveFovLH(&gRender.projection, kFieldOfView, aspect, kNearPlane, kFarPlane);
    device->SetTransform(D3DTS_PROJECTION, &gRender.projection);
    return true;
}

void ReleaseAll(SceneData& scene) {
    for (IDirect3DTexture9*& texture : scene.textures) {
        ReleaseOnce(texture);
    }
    ReleaseOnce(gRender.vertexBuffer);
    ReleaseOnce(gRender.indexBuffer);
    ReleaseOnce(gRender.depthSurface);
    ReleaseOnce(gRender.device);
    ReleaseOnce(gRender.d3d);
}
