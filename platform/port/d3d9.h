#pragma once
// The Direct3D 9 subset Vellmora calls: published constant values and struct layouts, and the
// COM interfaces as abstract classes holding only the methods the system uses.
#include "platform/port/win32.h"

#define D3D_SDK_VERSION 32
#define D3DADAPTER_DEFAULT 0
#define D3DCREATE_HARDWARE_VERTEXPROCESSING 0x00000040u

#define D3DUSAGE_WRITEONLY 0x00000008u
#define D3DCLEAR_TARGET 0x00000001u
#define D3DCLEAR_ZBUFFER 0x00000002u
#define D3DFVF_XYZ 0x002u
#define D3DFVF_NORMAL 0x010u
#define D3DFVF_TEX1 0x100u
#define D3DZB_TRUE 1u

#define D3D_OK S_OK
#define MAKE_D3DHRESULT(code) static_cast<HRESULT>(0x88760000u | (code))
#define D3DERR_OUTOFVIDEOMEMORY MAKE_D3DHRESULT(380u)
#define D3DERR_DRIVERINTERNALERROR MAKE_D3DHRESULT(2087u)
#define D3DERR_DEVICELOST MAKE_D3DHRESULT(2152u)
#define D3DERR_DEVICENOTRESET MAKE_D3DHRESULT(2153u)
#define D3DERR_NOTAVAILABLE MAKE_D3DHRESULT(2154u)
#define D3DERR_INVALIDCALL MAKE_D3DHRESULT(2156u)

typedef DWORD D3DCOLOR;

#define MAKEFOURCC(a, b, c, d)                                                                    \
    (static_cast<DWORD>(static_cast<BYTE>(a)) | (static_cast<DWORD>(static_cast<BYTE>(b)) << 8) | \
     (static_cast<DWORD>(static_cast<BYTE>(c)) << 16) | (static_cast<DWORD>(static_cast<BYTE>(d)) << 24))

enum D3DDEVTYPE {
    D3DDEVTYPE_HAL = 1,
    D3DDEVTYPE_REF = 2,
    D3DDEVTYPE_SW = 3,
    D3DDEVTYPE_FORCE_DWORD = 0x7fffffff
};

enum D3DFORMAT {
    D3DFMT_UNKNOWN = 0,
    D3DFMT_A8R8G8B8 = 21,
    D3DFMT_X8R8G8B8 = 22,
    D3DFMT_D16 = 80,
    D3DFMT_INDEX16 = 101,
    D3DFMT_INDEX32 = 102,
    D3DFMT_DXT1 = MAKEFOURCC('D', 'X', 'T', '1'),
    D3DFMT_DXT3 = MAKEFOURCC('D', 'X', 'T', '3'),
    D3DFMT_DXT5 = MAKEFOURCC('D', 'X', 'T', '5'),
    D3DFMT_FORCE_DWORD = 0x7fffffff
};

enum D3DRESOURCETYPE { D3DRTYPE_TEXTURE = 3, D3DRTYPE_FORCE_DWORD = 0x7fffffff };

enum D3DMULTISAMPLE_TYPE { D3DMULTISAMPLE_NONE = 0, D3DMULTISAMPLE_FORCE_DWORD = 0x7fffffff };

enum D3DSWAPEFFECT { D3DSWAPEFFECT_DISCARD = 1, D3DSWAPEFFECT_FORCE_DWORD = 0x7fffffff };

enum D3DPOOL {
    D3DPOOL_DEFAULT = 0,
    D3DPOOL_MANAGED = 1,
    D3DPOOL_SYSTEMMEM = 2,
    D3DPOOL_FORCE_DWORD = 0x7fffffff
};

enum D3DRENDERSTATETYPE {
    D3DRS_ZENABLE = 7,
    D3DRS_CULLMODE = 22,
    D3DRS_LIGHTING = 137,
    D3DRS_AMBIENT = 139,
    D3DRS_FORCE_DWORD = 0x7fffffff
};

enum D3DTRANSFORMSTATETYPE {
    D3DTS_VIEW = 2,
    D3DTS_PROJECTION = 3,
    D3DTS_TEXTURE0 = 16,
    D3DTS_FORCE_DWORD = 0x7fffffff
};
#define D3DTS_WORLDMATRIX(index) static_cast<D3DTRANSFORMSTATETYPE>((index) + 256)
#define D3DTS_WORLD D3DTS_WORLDMATRIX(0)

enum D3DPRIMITIVETYPE {
    D3DPT_POINTLIST = 1,
    D3DPT_LINELIST = 2,
    D3DPT_LINESTRIP = 3,
    D3DPT_TRIANGLELIST = 4,
    D3DPT_TRIANGLESTRIP = 5,
    D3DPT_TRIANGLEFAN = 6,
    D3DPT_FORCE_DWORD = 0x7fffffff
};

enum D3DLIGHTTYPE {
    D3DLIGHT_POINT = 1,
    D3DLIGHT_SPOT = 2,
    D3DLIGHT_DIRECTIONAL = 3,
    D3DLIGHT_FORCE_DWORD = 0x7fffffff
};

struct D3DVECTOR {
    float x;
    float y;
    float z;
};

struct D3DCOLORVALUE {
    float r;
    float g;
    float b;
    float a;
};

// The SDK's D3DMATRIX also names the elements _11 … _44 through an anonymous union; m is all we use.
struct D3DMATRIX {
    float m[4][4];
};

struct D3DRECT {
    LONG x1;
    LONG y1;
    LONG x2;
    LONG y2;
};

struct D3DMATERIAL9 {
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Ambient;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Emissive;
    float Power;
};

struct D3DLIGHT9 {
    D3DLIGHTTYPE Type;
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Ambient;
    D3DVECTOR Position;
    D3DVECTOR Direction;
    float Range;
    float Falloff;
    float Attenuation0;
    float Attenuation1;
    float Attenuation2;
    float Theta;
    float Phi;
};

struct D3DPRESENT_PARAMETERS {
    UINT BackBufferWidth;
    UINT BackBufferHeight;
    D3DFORMAT BackBufferFormat;
    UINT BackBufferCount;
    D3DMULTISAMPLE_TYPE MultiSampleType;
    DWORD MultiSampleQuality;
    D3DSWAPEFFECT SwapEffect;
    HWND hDeviceWindow;
    BOOL Windowed;
    BOOL EnableAutoDepthStencil;
    D3DFORMAT AutoDepthStencilFormat;
    DWORD Flags;
    UINT FullScreen_RefreshRateInHz;
    UINT PresentationInterval;
};

struct D3DDEVICE_CREATION_PARAMETERS {
    UINT AdapterOrdinal;
    D3DDEVTYPE DeviceType;
    HWND hFocusWindow;
    DWORD BehaviorFlags;
};

struct D3DDISPLAYMODE {
    UINT Width;
    UINT Height;
    UINT RefreshRate;
    D3DFORMAT Format;
};

// The SDK's D3DCAPS9 holds every capability of a device; the system reads only the largest texture.
struct D3DCAPS9 {
    DWORD MaxTextureWidth;
    DWORD MaxTextureHeight;
};

struct D3DLOCKED_RECT {
    INT Pitch;
    void* pBits;
};

struct IUnknown {
    virtual ULONG WINAPI Release() = 0;

  protected:
    ~IUnknown() = default;
};

struct IDirect3DResource9 : IUnknown {
  protected:
    ~IDirect3DResource9() = default;
};

// The SDK's IUnknown gives every object AddRef; textures are the only objects the system shares.
struct IDirect3DBaseTexture9 : IDirect3DResource9 {
    virtual ULONG WINAPI AddRef() = 0;

  protected:
    ~IDirect3DBaseTexture9() = default;
};

struct IDirect3DTexture9 : IDirect3DBaseTexture9 {
    virtual HRESULT WINAPI LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                                    DWORD flags) = 0;
    virtual HRESULT WINAPI UnlockRect(UINT level) = 0;

  protected:
    ~IDirect3DTexture9() = default;
};

struct IDirect3DSurface9 : IDirect3DResource9 {
  protected:
    ~IDirect3DSurface9() = default;
};

struct IDirect3DIndexBuffer9 : IDirect3DResource9 {
    virtual HRESULT WINAPI Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) = 0;
    virtual HRESULT WINAPI Unlock() = 0;

  protected:
    ~IDirect3DIndexBuffer9() = default;
};

struct IDirect3DVertexBuffer9 : IDirect3DResource9 {
    virtual HRESULT WINAPI Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) = 0;
    virtual HRESULT WINAPI Unlock() = 0;

  protected:
    ~IDirect3DVertexBuffer9() = default;
};

struct IDirect3D9;

struct IDirect3DDevice9 : IUnknown {
    virtual HRESULT WINAPI TestCooperativeLevel() = 0;
    virtual HRESULT WINAPI GetDirect3D(IDirect3D9** direct3D) = 0;
    virtual HRESULT WINAPI GetDeviceCaps(D3DCAPS9* caps) = 0;
    virtual HRESULT WINAPI GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode) = 0;
    virtual HRESULT WINAPI GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) = 0;
    virtual HRESULT WINAPI Reset(D3DPRESENT_PARAMETERS* presentationParameters) = 0;
    virtual HRESULT WINAPI CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                         D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* sharedHandle) = 0;
    virtual HRESULT WINAPI CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                              IDirect3DVertexBuffer9** vertexBuffer,
                                              HANDLE* sharedHandle) = 0;
    virtual HRESULT WINAPI CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                             IDirect3DIndexBuffer9** indexBuffer, HANDLE* sharedHandle) = 0;
    virtual HRESULT WINAPI CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                                     D3DMULTISAMPLE_TYPE multiSample,
                                                     DWORD multisampleQuality, BOOL discard,
                                                     IDirect3DSurface9** surface, HANDLE* sharedHandle) = 0;
    virtual HRESULT WINAPI SetDepthStencilSurface(IDirect3DSurface9* newZStencil) = 0;
    virtual HRESULT WINAPI BeginScene() = 0;
    virtual HRESULT WINAPI EndScene() = 0;
    virtual HRESULT WINAPI Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                                 DWORD stencil) = 0;
    virtual HRESULT WINAPI SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
    virtual HRESULT WINAPI SetMaterial(const D3DMATERIAL9* material) = 0;
    virtual HRESULT WINAPI SetLight(DWORD index, const D3DLIGHT9* light) = 0;
    virtual HRESULT WINAPI LightEnable(DWORD index, BOOL enable) = 0;
    virtual HRESULT WINAPI SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    virtual HRESULT WINAPI SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) = 0;
    virtual HRESULT WINAPI DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex,
                                                UINT minVertexIndex, UINT numVertices, UINT startIndex,
                                                UINT primCount) = 0;
    virtual HRESULT WINAPI SetFVF(DWORD fvf) = 0;
    virtual HRESULT WINAPI SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData,
                                           UINT offsetInBytes, UINT stride) = 0;
    virtual HRESULT WINAPI SetIndices(IDirect3DIndexBuffer9* indexData) = 0;
    virtual HRESULT WINAPI Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                                   const RGNDATA* dirtyRegion) = 0;

  protected:
    ~IDirect3DDevice9() = default;
};

struct IDirect3D9 : IUnknown {
    virtual HRESULT WINAPI CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                                             DWORD usage, D3DRESOURCETYPE resourceType,
                                             D3DFORMAT checkFormat) = 0;
    virtual HRESULT WINAPI CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow,
                                        DWORD behaviorFlags, D3DPRESENT_PARAMETERS* presentationParameters,
                                        IDirect3DDevice9** returnedDeviceInterface) = 0;

  protected:
    ~IDirect3D9() = default;
};

IDirect3D9* WINAPI Direct3DCreate9(UINT sdkVersion);
