#include "tests/fakes/recording_device.h"

#include <string>

namespace {

template <typename... Args>
std::string Call(const char* name, Args... args) {
    std::string text = std::string(name) + "(";
    bool first = true;
    ((text += (first ? "" : ", ") + std::to_string(args), first = false), ...);
    return text + ")";
}

}  // namespace

ULONG WINAPI RecordingTexture::Release() {
    return static_cast<ULONG>(++releaseCount);
}

HRESULT WINAPI RecordingTexture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT*, DWORD) {
    if (FAILED(lockResult) || level != 0) {
        return FAILED(lockResult) ? lockResult : D3DERR_INVALIDCALL;
    }
    ++lockCount;
    lockedRect->Pitch = static_cast<INT>(width * 4);
    lockedRect->pBits = texels.data();
    return S_OK;
}

HRESULT WINAPI RecordingTexture::UnlockRect(UINT) {
    ++unlockCount;
    return S_OK;
}

ULONG WINAPI RecordingDevice::Release() {
    return static_cast<ULONG>(++releaseCount);
}

HRESULT WINAPI RecordingDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                              D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture,
                                              HANDLE*) {
    calls.push_back(Call("CreateTexture", width, height, levels, usage, static_cast<int>(format),
                         static_cast<int>(pool)));
    if (FAILED(createTextureResult)) {
        *texture = nullptr;
        return createTextureResult;
    }
    auto created = std::make_unique<RecordingTexture>();
    created->width = width;
    created->height = height;
    created->levels = levels;
    created->format = format;
    created->pool = pool;
    created->lockResult = textureLockResult;
    created->texels.assign(static_cast<std::size_t>(width) * height * 4, 0);
    *texture = created.get();
    textures.push_back(std::move(created));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                                   IDirect3DVertexBuffer9**, HANDLE*) {
    calls.push_back(Call("CreateVertexBuffer", length, usage, fvf, static_cast<int>(pool)));
    return D3DERR_NOTAVAILABLE;
}

HRESULT WINAPI RecordingDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                                  IDirect3DIndexBuffer9**, HANDLE*) {
    calls.push_back(
        Call("CreateIndexBuffer", length, usage, static_cast<int>(format), static_cast<int>(pool)));
    return D3DERR_NOTAVAILABLE;
}

HRESULT WINAPI RecordingDevice::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                                          D3DMULTISAMPLE_TYPE multiSample, DWORD quality,
                                                          BOOL discard, IDirect3DSurface9** surface,
                                                          HANDLE*) {
    calls.push_back(Call("CreateDepthStencilSurface", width, height, static_cast<int>(format),
                         static_cast<int>(multiSample), quality, discard));
    *surface = nullptr;
    return D3DERR_NOTAVAILABLE;
}

HRESULT WINAPI RecordingDevice::SetDepthStencilSurface(IDirect3DSurface9*) {
    calls.push_back(Call("SetDepthStencilSurface"));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::BeginScene() {
    calls.push_back(Call("BeginScene"));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::EndScene() {
    calls.push_back(Call("EndScene"));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::Clear(DWORD count, const D3DRECT*, DWORD flags, D3DCOLOR color, float z,
                                      DWORD stencil) {
    calls.push_back(Call("Clear", count, flags, color, z, stencil));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX*) {
    calls.push_back(Call("SetTransform", static_cast<int>(state)));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::SetMaterial(const D3DMATERIAL9*) {
    calls.push_back(Call("SetMaterial"));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::SetLight(DWORD index, const D3DLIGHT9*) {
    calls.push_back(Call("SetLight", index));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::LightEnable(DWORD index, BOOL enable) {
    calls.push_back(Call("LightEnable", index, enable));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    calls.push_back(Call("SetRenderState", static_cast<int>(state), value));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9*) {
    calls.push_back(Call("SetTexture", stage));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex,
                                                     UINT minVertexIndex, UINT numVertices, UINT startIndex,
                                                     UINT primCount) {
    calls.push_back(Call("DrawIndexedPrimitive", static_cast<int>(type), baseVertexIndex, minVertexIndex,
                         numVertices, startIndex, primCount));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::SetFVF(DWORD fvf) {
    calls.push_back(Call("SetFVF", fvf));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9*,
                                                UINT offsetInBytes, UINT stride) {
    calls.push_back(Call("SetStreamSource", streamNumber, offsetInBytes, stride));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::SetIndices(IDirect3DIndexBuffer9*) {
    calls.push_back(Call("SetIndices"));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::Present(const RECT*, const RECT*, HWND, const RGNDATA*) {
    calls.push_back(Call("Present"));
    return S_OK;
}
