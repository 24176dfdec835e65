#pragma once
// A Direct3D 9 device that draws nothing: it records each call by name with its arguments, keeps
// the values sent as structured records, and hands out textures, buffers and surfaces backed by
// plain memory, so tests can read back what reached the pipeline.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

// Every object a device hands out (and the device itself) notes its address here when released.
using ReleaseLog = std::vector<const void*>;

struct RecordingTexture final : IDirect3DTexture9 {
    UINT width = 0;
    UINT height = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    D3DPOOL pool = D3DPOOL_DEFAULT;
    UINT levels = 0;
    std::vector<std::uint8_t> texels;  // width * 4 bytes a row, or rows of DXT blocks
    int lockCount = 0;
    int unlockCount = 0;
    int addRefCount = 0;
    int releaseCount = 0;
    HRESULT lockResult = S_OK;
    ReleaseLog* releaseLog = nullptr;

    ULONG WINAPI AddRef() override;
    ULONG WINAPI Release() override;
    HRESULT WINAPI LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT WINAPI UnlockRect(UINT level) override;
};

// What index and vertex buffers share: their creation values and their memory.
struct BufferRecord {
    UINT length = 0;
    DWORD usage = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;  // index buffers
    DWORD fvf = 0;                      // vertex buffers
    D3DPOOL pool = D3DPOOL_DEFAULT;
    std::vector<std::uint8_t> bytes;
    HRESULT lockResult = S_OK;
    UINT lockedOffset = 0;
    UINT lockedSize = 0;
    DWORD lockFlags = 0;
    int lockCount = 0;
    int unlockCount = 0;
    int releaseCount = 0;
    ReleaseLog* releaseLog = nullptr;

    HRESULT LockBytes(UINT offset, UINT size, void** data, DWORD flags);
};

struct RecordingIndexBuffer final : IDirect3DIndexBuffer9, BufferRecord {
    ULONG WINAPI Release() override;
    HRESULT WINAPI Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) override;
    HRESULT WINAPI Unlock() override;
};

struct RecordingVertexBuffer final : IDirect3DVertexBuffer9, BufferRecord {
    ULONG WINAPI Release() override;
    HRESULT WINAPI Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) override;
    HRESULT WINAPI Unlock() override;
};

struct RecordingSurface final : IDirect3DSurface9 {
    UINT width = 0;
    UINT height = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    D3DMULTISAMPLE_TYPE multiSample = D3DMULTISAMPLE_NONE;
    DWORD quality = 0;
    BOOL discard = FALSE;
    int releaseCount = 0;
    ReleaseLog* releaseLog = nullptr;

    ULONG WINAPI Release() override;
};

struct DrawRecord {
    D3DPRIMITIVETYPE type;
    INT baseVertexIndex;
    UINT minVertexIndex;
    UINT numVertices;
    UINT startIndex;
    UINT primitiveCount;
    IDirect3DBaseTexture9* texture;  // stage 0's texture when drawn
};

struct TransformRecord {
    D3DTRANSFORMSTATETYPE state;
    D3DMATRIX matrix;
};

struct ClearRecord {
    DWORD count;
    bool rects;
    DWORD flags;
    D3DCOLOR colour;
    float z;
    DWORD stencil;
};

struct RecordingDevice;

// The Direct3D object GetDirect3D hands out: it answers format checks from its device's list.
struct RecordingFormatCheck final : IDirect3D9 {
    RecordingDevice* device = nullptr;
    int releaseCount = 0;

    ULONG WINAPI Release() override;
    HRESULT WINAPI CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                                     DWORD usage, D3DRESOURCETYPE resourceType,
                                     D3DFORMAT checkFormat) override;
    HRESULT WINAPI CreateDevice(UINT adapterIndex, D3DDEVTYPE type, HWND window, DWORD flags,
                                D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** returned) override;
};

struct RecordingDevice final : IDirect3DDevice9 {
    std::vector<std::string> calls;               // e.g. "SetRenderState(7, 1)"
    std::vector<std::string>* journal = nullptr;  // when set, every call is also noted here
    std::vector<std::unique_ptr<RecordingTexture>> textures;
    std::vector<std::unique_ptr<RecordingIndexBuffer>> indexBuffers;
    std::vector<std::unique_ptr<RecordingVertexBuffer>> vertexBuffers;
    std::vector<std::unique_ptr<RecordingSurface>> surfaces;
    ReleaseLog releaseLog;

    // Values as sent.
    std::map<int, DWORD> renderStates;
    std::vector<TransformRecord> transforms;
    std::vector<D3DMATERIAL9> materials;
    std::vector<D3DLIGHT9> lights;  // every SetLight, in order
    std::map<DWORD, BOOL> lightsEnabled;
    std::vector<IDirect3DBaseTexture9*> textureSets;  // every SetTexture on stage 0, in order
    std::vector<DrawRecord> draws;
    std::vector<ClearRecord> clears;
    IDirect3DBaseTexture9* stageTexture = nullptr;
    IDirect3DSurface9* depthStencil = nullptr;
    IDirect3DVertexBuffer9* streamSource = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    int presentCount = 0;
    bool presentHadArguments = false;

    // Results to answer with.
    D3DCAPS9 caps{4096, 2048};
    std::vector<D3DFORMAT> textureFormats{D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8};  // what CheckDeviceFormat allows
    RecordingFormatCheck direct3D;
    HRESULT createTextureResult = S_OK;
    HRESULT textureLockResult = S_OK;
    HRESULT createIndexBufferResult = S_OK;
    HRESULT createVertexBufferResult = S_OK;
    HRESULT bufferLockResult = S_OK;
    HRESULT createDepthStencilResult = S_OK;
    HRESULT presentResult = S_OK;            // until a reset succeeds
    std::vector<HRESULT> cooperativeLevels;  // TestCooperativeLevel's answers in turn, then D3D_OK
    HRESULT resetResult = S_OK;
    std::vector<D3DPRESENT_PARAMETERS> resets;  // as each Reset was asked
    int releaseCount = 0;

    ULONG WINAPI Release() override;
    HRESULT WINAPI TestCooperativeLevel() override;
    HRESULT WINAPI GetDirect3D(IDirect3D9** direct3DObject) override;
    HRESULT WINAPI GetDeviceCaps(D3DCAPS9* caps) override;
    HRESULT WINAPI GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode) override;
    HRESULT WINAPI GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) override;
    // As Direct3D does, refuses while an object of the default pool has not been released.
    HRESULT WINAPI Reset(D3DPRESENT_PARAMETERS* presentationParameters) override;
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

    void Note(std::string call);
    // The names of the calls made so far, without their arguments.
    std::vector<std::string> CallNames() const;
};

// The Direct3D object: records how the device was asked for and hands out its one device.
struct RecordingDirect3D final : IDirect3D9 {
    RecordingDevice device;
    HRESULT createDeviceResult = S_OK;
    int createDeviceCount = 0;
    UINT adapter = 99;
    D3DDEVTYPE deviceType = D3DDEVTYPE_FORCE_DWORD;
    HWND focusWindow = nullptr;
    DWORD behaviourFlags = 0;
    D3DPRESENT_PARAMETERS presentParameters{};
    int releaseCount = 0;

    ULONG WINAPI Release() override;
    HRESULT WINAPI CheckDeviceFormat(UINT adapterIndex, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                                     D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override;
    HRESULT WINAPI CreateDevice(UINT adapterIndex, D3DDEVTYPE type, HWND window, DWORD flags,
                                D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** returned) override;
};

// What the fake Direct3DCreate9 answers: this object, or null to fail.
extern RecordingDirect3D* gFakeDirect3D;
// The SDK version it was last asked for.
extern UINT gDirect3DCreateVersion;
