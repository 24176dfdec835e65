#pragma once
// The Direct3D 9 objects on OpenGL, shared by the device and resource files. Resources keep their
// device alive until the last of them is released, because their OpenGL names need its context.
#define GL_GLEXT_PROTOTYPES 1
#include <SDL.h>
#include <SDL_opengl.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/port/d3d9.h"
#include "platform/port/gl_translate.h"

struct PortDevice;
struct PortDirect3D;

// A reference count and the device that owns the object's OpenGL names.
struct PortResource {
    explicit PortResource(PortDevice* owner);
    ~PortResource();
    PortResource(const PortResource&) = delete;
    PortResource& operator=(const PortResource&) = delete;

    PortDevice* device;
    ULONG references = 1;
};

// Buffers live in OpenGL alone: Lock maps the buffer and hands out its memory, the last Unlock
// unmaps it, so no second copy of the scene stays in the process.
struct BufferStore {
    UINT length = 0;
    GLuint name = 0;
    int locks = 0;
    std::uint8_t* mapped = nullptr;
};

struct PortVertexBuffer final : IDirect3DVertexBuffer9, PortResource {
    using PortResource::PortResource;
    ULONG WINAPI Release() override;
    HRESULT WINAPI Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) override;
    HRESULT WINAPI Unlock() override;

    BufferStore store;
};

struct PortIndexBuffer final : IDirect3DIndexBuffer9, PortResource {
    using PortResource::PortResource;
    ULONG WINAPI Release() override;
    HRESULT WINAPI Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) override;
    HRESULT WINAPI Unlock() override;
    // The largest index among count indices from start.
    std::uint32_t LargestIndex(UINT start, UINT count) const;
    // The largest in the whole buffer, worked out once after its contents change: when it fits the
    // vertices, every draw does, with no scan of its own.
    std::uint32_t LargestOfAll();

    BufferStore store;
    UINT indexSize = 4;
    std::uint32_t largestOfAll = 0;
    bool largestKnown = false;
};

// Block-compressed formats: DXT1 packs 4x4 texels in 8 bytes, DXT3 and DXT5 in 16; 0 for others.
UINT BlockBytes(D3DFORMAT format);
// The bytes a level of this size takes in this format: what the port keeps and uploads.
std::size_t TextureBytes(D3DFORMAT format, UINT width, UINT height);
GLenum GlCompressedFormat(D3DFORMAT format);
// Whether the current OpenGL context takes S3TC blocks as they are.
bool OffersS3tc();

struct PortTexture final : IDirect3DTexture9, PortResource {
    using PortResource::PortResource;
    ULONG WINAPI AddRef() override;
    ULONG WINAPI Release() override;
    HRESULT WINAPI LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT WINAPI UnlockRect(UINT level) override;

    UINT width = 0;
    UINT height = 0;
    D3DFORMAT format = D3DFMT_A8R8G8B8;
    std::size_t bytes = 0;
    // B, G, R, A (or X) per texel, or DXT blocks, rows from v = 0
    std::unique_ptr<std::uint8_t[]> texels;
    GLuint name = 0;
    int locks = 0;
};

struct PortSurface final : IDirect3DSurface9, PortResource {
    using PortResource::PortResource;
    ULONG WINAPI Release() override;

    GLuint renderbuffer = 0;
};

constexpr int kLightCount = 8;

struct PortDevice final : IDirect3DDevice9 {
    ULONG WINAPI Release() override;
    HRESULT WINAPI TestCooperativeLevel() override;
    HRESULT WINAPI GetDirect3D(IDirect3D9** direct3D) override;
    HRESULT WINAPI GetDeviceCaps(D3DCAPS9* caps) override;
    HRESULT WINAPI GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode) override;
    HRESULT WINAPI GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) override;
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

    // Sets up the context's state as a new Direct3D 9 device has it; false if OpenGL cannot.
    bool Initialise(D3DFORMAT backBufferFormat, bool autoDepth);
    // A resource was destroyed; the device goes when neither the program nor a resource holds it.
    void ResourceGone();
    void DestroyIfUnused();
    // Loads the matrices and light directions if they changed since the last draw.
    void FlushTransforms();
    // OpenGL bindings, skipped when already in place: a frame of many runs rebinds little.
    void BindTexture(GLuint name);
    void BindBuffer(GLenum target, GLuint name);
    // A name about to be deleted; OpenGL may hand it out again for another object.
    void ForgetTexture(GLuint name);
    void ForgetBuffer(GLuint name);
    void SetVertexPointers(GLuint buffer, std::uint64_t first, const VertexLayout& layout);

    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    PortDirect3D* direct3D = nullptr;  // the object that made it, held as Direct3D holds it
    D3DDEVICE_CREATION_PARAMETERS creation{};
    ULONG references = 1;
    int liveResources = 0;
    bool releasing = false;
    bool depthZeroToOne = false;
    UINT width = 0;
    UINT height = 0;
    GLuint framebuffer = 0;
    GLuint colourbuffer = 0;

    // Objects the device holds a reference to while they are set.
    PortSurface* depth = nullptr;
    PortTexture* texture = nullptr;
    PortVertexBuffer* stream = nullptr;
    PortIndexBuffer* indices = nullptr;
    UINT streamOffset = 0;
    UINT streamStride = 0;
    DWORD fvf = 0;
    VertexLayout layout;  // of fvf, worked out once when it is set
    bool inScene = false;

    // What OpenGL has bound and where its vertex arrays point.
    GLuint boundTexture = 0;
    bool texturing = false;
    GLuint boundArrayBuffer = 0;
    GLuint boundElementBuffer = 0;
    bool pointersSet = false;
    GLuint pointerBuffer = 0;
    std::uint64_t pointerFirst = 0;
    UINT pointerStride = 0;
    DWORD pointerFvf = 0;

    D3DMATRIX world{};
    D3DMATRIX view{};
    D3DMATRIX projection{};
    D3DMATRIX clipCorrection{};  // fixed for the device's life: its size and depth range
    bool transformsChanged = true;
    bool projectionChanged = true;
    D3DLIGHT9 lights[kLightCount]{};
};

struct PortDirect3D final : IDirect3D9 {
    ULONG WINAPI Release() override;
    HRESULT WINAPI CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                                     DWORD usage, D3DRESOURCETYPE resourceType,
                                     D3DFORMAT checkFormat) override;
    HRESULT WINAPI CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                                D3DPRESENT_PARAMETERS* presentationParameters,
                                IDirect3DDevice9** returnedDeviceInterface) override;

    ULONG references = 1;
};

// Takes a reference on next and drops the one on *slot (either may be null).
template <typename T>
void Rebind(T*& slot, T* next) {
    if (next != nullptr) {
        ++next->references;
    }
    T* previous = slot;
    slot = next;
    if (previous != nullptr) {
        previous->Release();
    }
}
