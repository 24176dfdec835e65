// Direct3DCreate9 and IDirect3D9::CreateDevice: one adapter, the HAL device as an OpenGL
// compatibility context on the device window. Not implemented: exclusive full-screen modes,
// multisampling, back buffer formats other than A8R8G8B8 and X8R8G8B8, more than one back buffer,
// format checks beyond textures.
#include <cstdio>

#include "platform/port/sdl/d3d9_objects.h"
#include "platform/port/sdl/video.h"

namespace {

constexpr UINT kIntervalImmediate = 0x80000000u;

bool HasFramebufferObjects() {
    GLint major = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    return major >= 3 || SDL_GL_ExtensionSupported("GL_ARB_framebuffer_object") == SDL_TRUE;
}

bool HasClipControl() {
    GLint major = 0;
    GLint minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    return major > 4 || (major == 4 && minor >= 5) ||
           SDL_GL_ExtensionSupported("GL_ARB_clip_control") == SDL_TRUE;
}

}  // namespace

IDirect3D9* WINAPI Direct3DCreate9(UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION || !EnsureVideo()) {
        return nullptr;
    }
    return new PortDirect3D;
}

bool OffersS3tc() {
    return SDL_GL_GetCurrentContext() != nullptr &&
           SDL_GL_ExtensionSupported("GL_EXT_texture_compression_s3tc") == SDL_TRUE;
}

// Textures in 32-bit colour always; DXT blocks where OpenGL takes S3TC, which needs a context.
HRESULT WINAPI PortDirect3D::CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT, DWORD,
                                               D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) {
    if (adapter != D3DADAPTER_DEFAULT || deviceType != D3DDEVTYPE_HAL) {
        return D3DERR_INVALIDCALL;
    }
    if (resourceType != D3DRTYPE_TEXTURE) {
        return D3DERR_NOTAVAILABLE;
    }
    const bool colour = checkFormat == D3DFMT_A8R8G8B8 || checkFormat == D3DFMT_X8R8G8B8;
    return colour || (BlockBytes(checkFormat) != 0 && OffersS3tc()) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

ULONG WINAPI PortDirect3D::Release() {
    const ULONG left = --references;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT WINAPI PortDirect3D::CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow,
                                          DWORD behaviour, D3DPRESENT_PARAMETERS* parameters,
                                          IDirect3DDevice9** out) {
    if (out == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *out = nullptr;
    if (parameters == nullptr || adapter != D3DADAPTER_DEFAULT) {
        return D3DERR_INVALIDCALL;
    }
    if (deviceType != D3DDEVTYPE_HAL || parameters->MultiSampleType != D3DMULTISAMPLE_NONE ||
        parameters->BackBufferCount > 1) {
        return D3DERR_NOTAVAILABLE;
    }
    D3DFORMAT format = parameters->BackBufferFormat;
    if (format == D3DFMT_UNKNOWN) {
        format = D3DFMT_X8R8G8B8;
    }
    if (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8) {
        return D3DERR_NOTAVAILABLE;
    }
    if (parameters->EnableAutoDepthStencil && parameters->AutoDepthStencilFormat != D3DFMT_D16) {
        return D3DERR_NOTAVAILABLE;
    }
    HWND deviceWindow = parameters->hDeviceWindow != nullptr ? parameters->hDeviceWindow : focusWindow;
    SDL_Window* window = NativeWindowOf(deviceWindow);
    if (window == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr) {
        ReportStartupFailure("no OpenGL context");
        return D3DERR_NOTAVAILABLE;
    }
    if (!HasFramebufferObjects()) {
        std::fprintf(stderr, "vellmora: no OpenGL framebuffer objects (OpenGL 3.0)\n");
        SDL_GL_DeleteContext(context);
        return D3DERR_NOTAVAILABLE;
    }
    // The default interval waits for the vertical retrace.
    SDL_GL_SetSwapInterval(parameters->PresentationInterval == kIntervalImmediate ? 0 : 1);

    auto* device = new PortDevice;
    device->window = window;
    device->context = context;
    device->direct3D = this;
    ++references;
    device->creation = {adapter, deviceType, focusWindow, behaviour};
    device->depthZeroToOne = HasClipControl();
    int drawableWidth = 0;
    int drawableHeight = 0;
    SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    // Width and height 0 take the window's client area.
    device->width =
        parameters->BackBufferWidth != 0 ? parameters->BackBufferWidth : static_cast<UINT>(drawableWidth);
    device->height =
        parameters->BackBufferHeight != 0 ? parameters->BackBufferHeight : static_cast<UINT>(drawableHeight);
    if (device->width == 0 || device->height == 0 ||
        !device->Initialise(format, parameters->EnableAutoDepthStencil != FALSE)) {
        std::fprintf(stderr, "vellmora: OpenGL cannot make a %ux%u back buffer with 16-bit depth\n",
                     device->width, device->height);
        device->Release();
        return D3DERR_NOTAVAILABLE;
    }
    parameters->BackBufferWidth = device->width;
    parameters->BackBufferHeight = device->height;
    parameters->BackBufferFormat = format;
    parameters->BackBufferCount = 1;
    *out = device;
    return S_OK;
}
