#pragma once
// A Direct3D 9 device that draws nothing: it records each call by name with its arguments and
// hands out buffers and textures backed by plain memory, so tests can read back what was sent.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

struct RecordingTexture final : IDirect3DTexture9 {
    UINT width = 0;
    UINT height = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    D3DPOOL pool = D3DPOOL_DEFAULT;
    UINT levels = 0;
    std::vector<std::uint8_t> texels;  // width * 4 bytes a row
    int lockCount = 0;
    int unlockCount = 0;
    int releaseCount = 0;
    HRESULT lockResult = S_OK;

    ULONG WINAPI Release() override;
    HRESULT WINAPI LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT WINAPI UnlockRect(UINT level) override;
};

struct RecordingDevice final : IDirect3DDevice9 {
    std::vector<std::string> calls;  // e.g. "SetRenderState(7, 1)"
    std::vector<std::unique_ptr<RecordingTexture>> textures;
    HRESULT createTextureResult = S_OK;
    HRESULT textureLockResult = S_OK;
    int releaseCount = 0;

    ULONG WINAPI Release() override;
    HRESULT WINAPI CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                 D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* sharedHandle) override;
    HRESULT WINAPI CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                      IDirect3DVertexBuffer9** vertexBuffer, HANDLE* sharedHandle) override;
    HRESULT WINAPI CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                     IDirect3DIndexBuffer9** indexBuffer, HANDLE* sharedHandle) override;
    HRESULT WINAPI CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                             D3DMULTISAMPLE_TYPE multiSample, DWORD multisampleQuality,
                                             BOOL discard, IDirect3DSurface9** surface,
                                             HANDLE* sharedHandle) override;
    HRESULT WINAPI SetDepthStencilSurface(IDirect3DSurface9* newZStencil) override;
    HRESULT WINAPI BeginScene() override;
    HRESULT WINAPI EndScene() override;
    HRESULT WINAPI Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                         DWORD stencil) override;
    HRESULT WINAPI SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT WINAPI SetMaterial(const D3DMATERIAL9* material) override;
    HRESULT WINAPI SetLight(DWORD index, const D3DLIGHT9* light) override;
    HRESULT WINAPI LightEnable(DWORD index, BOOL enable) override;
    HRESULT WINAPI SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT WINAPI SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT WINAPI DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex,
                                        UINT numVertices, UINT startIndex, UINT primCount) override;
    HRESULT WINAPI SetFVF(DWORD fvf) override;
    HRESULT WINAPI SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData, UINT offsetInBytes,
                                   UINT stride) override;
    HRESULT WINAPI SetIndices(IDirect3DIndexBuffer9* indexData) override;
    HRESULT WINAPI Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                           const RGNDATA* dirtyRegion) override;
};
