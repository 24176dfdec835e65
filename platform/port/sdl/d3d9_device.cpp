// IDirect3DDevice9 on OpenGL's fixed-function pipeline, rendering into a framebuffer object that
// Present copies to the window. It reproduces Direct3D 9's results: row-vector matrices, depth
// 0…1, pixel centres on integer coordinates, counter-clockwise culling, LEQUAL depth test, the
// lighting equation without specular (D3DRS_SPECULARENABLE stays off), stage 0 modulating texture
// and lit colour, point sampling with wrap. Not implemented: point and spot lights, texture
// transforms, stages beyond 0, render states beyond Z enable, culling, lighting and ambient, and
// Reset: an OpenGL context is never lost, so the device never needs one.
#include <cstdio>

#include "platform/port/sdl/d3d9_objects.h"

namespace {

constexpr DWORD kCullNone = 1;
constexpr DWORD kCullClockwise = 2;
constexpr DWORD kCullCounterClockwise = 3;

const D3DMATRIX kIdentity{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};

void SetGlColour(GLenum face, GLenum name, const D3DCOLORVALUE& colour) {
    const GLfloat values[4] = {colour.r, colour.g, colour.b, colour.a};
    glMaterialfv(face, name, values);
}

void SetLightColour(GLenum light, GLenum name, const D3DCOLORVALUE& colour) {
    const GLfloat values[4] = {colour.r, colour.g, colour.b, colour.a};
    glLightfv(light, name, values);
}

// Out-of-memory from OpenGL, after allocating storage; other errors are the caller's to refuse.
bool OutOfMemory() {
    bool out = false;
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
        out = out || error == GL_OUT_OF_MEMORY;
    }
    return out;
}

GLenum GlPrimitive(D3DPRIMITIVETYPE type) {
    switch (type) {
        case D3DPT_POINTLIST:
            return GL_POINTS;
        case D3DPT_LINELIST:
            return GL_LINES;
        case D3DPT_LINESTRIP:
            return GL_LINE_STRIP;
        case D3DPT_TRIANGLESTRIP:
            return GL_TRIANGLE_STRIP;
        case D3DPT_TRIANGLEFAN:
            return GL_TRIANGLE_FAN;
        default:
            return GL_TRIANGLES;
    }
}

template <typename T>
HRESULT MakeBuffer(PortDevice* device, UINT length, GLenum target, T** out) {
    auto* buffer = new T(device);
    buffer->store.length = length;
    OutOfMemory();
    glGenBuffers(1, &buffer->store.name);
    device->BindBuffer(target, buffer->store.name);
    glBufferData(target, length, nullptr, GL_STATIC_DRAW);
    if (OutOfMemory()) {
        buffer->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *out = buffer;
    return S_OK;
}

}  // namespace

bool PortDevice::Initialise(D3DFORMAT backBufferFormat, bool autoDepth) {
    glGenFramebuffers(1, &framebuffer);
    glGenRenderbuffers(1, &colourbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, colourbuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, backBufferFormat == D3DFMT_X8R8G8B8 ? GL_RGB8 : GL_RGBA8,
                          static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourbuffer);
    if (autoDepth) {
        IDirect3DSurface9* automatic = nullptr;
        if (FAILED(CreateDepthStencilSurface(width, height, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE,
                                             &automatic, nullptr))) {
            return false;
        }
        SetDepthStencilSurface(automatic);
        automatic->Release();
    }
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        return false;
    }

    if (depthZeroToOne) {
        glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
    }
    clipCorrection = ClipCorrection(static_cast<int>(width), static_cast<int>(height), depthZeroToOne);
    glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    glDisable(GL_DITHER);
    glShadeModel(GL_SMOOTH);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glDepthFunc(GL_LEQUAL);
    glClearDepth(1.0);
    if (autoDepth) {
        glEnable(GL_DEPTH_TEST);
    }
    SetRenderState(D3DRS_CULLMODE, kCullCounterClockwise);
    SetRenderState(D3DRS_LIGHTING, TRUE);
    SetRenderState(D3DRS_AMBIENT, 0);
    const D3DMATERIAL9 material{};
    SetMaterial(&material);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_FALSE);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
    for (int i = 0; i < kLightCount; ++i) {
        lights[i].Type = D3DLIGHT_DIRECTIONAL;
        lights[i].Diffuse = {1, 1, 1, 0};
        lights[i].Direction = {0, 0, 1};
        SetLight(static_cast<DWORD>(i), &lights[i]);
    }
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor4f(1, 1, 1, 1);
    glNormal3f(0, 0, 0);
    world = kIdentity;
    view = kIdentity;
    projection = kIdentity;
    transformsChanged = true;
    projectionChanged = true;
    return glGetError() == GL_NO_ERROR;
}

HRESULT WINAPI PortDevice::TestCooperativeLevel() {
    return D3D_OK;
}

HRESULT WINAPI PortDevice::Reset(D3DPRESENT_PARAMETERS*) {
    return D3DERR_NOTAVAILABLE;
}

ULONG WINAPI PortDevice::Release() {
    if (--references > 0) {
        return references;
    }
    // Dropping what is set may destroy resources; the device goes once, afterwards.
    releasing = true;
    Rebind<PortSurface>(depth, nullptr);
    Rebind<PortTexture>(texture, nullptr);
    Rebind<PortVertexBuffer>(stream, nullptr);
    Rebind<PortIndexBuffer>(indices, nullptr);
    releasing = false;
    DestroyIfUnused();
    return 0;
}

void PortDevice::ResourceGone() {
    --liveResources;
    if (!releasing) {
        DestroyIfUnused();
    }
}

void PortDevice::DestroyIfUnused() {
    if (references > 0 || liveResources > 0) {
        return;
    }
    glDeleteRenderbuffers(1, &colourbuffer);
    glDeleteFramebuffers(1, &framebuffer);
    SDL_GL_MakeCurrent(window, nullptr);
    SDL_GL_DeleteContext(context);
    direct3D->Release();
    delete this;
}

HRESULT WINAPI PortDevice::GetDirect3D(IDirect3D9** out) {
    if (out == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    ++direct3D->references;
    *out = direct3D;
    return S_OK;
}

// A windowed device shows on the desktop, whose mode the port takes to be 32-bit colour.
HRESULT WINAPI PortDevice::GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode) {
    if (swapChain != 0 || mode == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *mode = {width, height, 0, D3DFMT_X8R8G8B8};
    return S_OK;
}

HRESULT WINAPI PortDevice::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) {
    if (parameters == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *parameters = creation;
    return S_OK;
}

// Direct3D's texture size limit is OpenGL's.
HRESULT WINAPI PortDevice::GetDeviceCaps(D3DCAPS9* caps) {
    if (caps == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    caps->MaxTextureWidth = static_cast<DWORD>(largest);
    caps->MaxTextureHeight = static_cast<DWORD>(largest);
    return S_OK;
}

HRESULT WINAPI PortDevice::CreateTexture(UINT textureWidth, UINT textureHeight, UINT levels, DWORD,
                                         D3DFORMAT format, D3DPOOL, IDirect3DTexture9** out,
                                         HANDLE* sharedHandle) {
    if (out == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *out = nullptr;
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    const bool blocks = BlockBytes(format) != 0;
    if (textureWidth == 0 || textureHeight == 0 || levels != 1 || sharedHandle != nullptr ||
        (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8 && !blocks)) {
        return D3DERR_INVALIDCALL;
    }
    if (textureWidth > static_cast<UINT>(largest) || textureHeight > static_cast<UINT>(largest) ||
        (blocks && !OffersS3tc())) {
        return D3DERR_NOTAVAILABLE;
    }
    auto* created = new PortTexture(this);
    created->width = textureWidth;
    created->height = textureHeight;
    created->format = format;
    created->bytes = TextureBytes(format, textureWidth, textureHeight);
    created->texels.reset(new (std::nothrow) std::uint8_t[created->bytes]());
    if (created->texels == nullptr) {
        created->Release();
        return E_OUTOFMEMORY;
    }
    OutOfMemory();
    glGenTextures(1, &created->name);
    BindTexture(created->name);
    // Direct3D samples the nearest texel and wraps by default; OpenGL's default minifying filter
    // would also want mipmaps that a one-level texture does not have.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    if (blocks) {
        // DXT blocks stay compressed on the device, as Direct3D keeps them.
        glCompressedTexImage2D(GL_TEXTURE_2D, 0, GlCompressedFormat(format),
                               static_cast<GLsizei>(textureWidth), static_cast<GLsizei>(textureHeight), 0,
                               static_cast<GLsizei>(created->bytes), created->texels.get());
    } else {
        // X8R8G8B8 ignores the fourth byte: an RGB texture reads alpha as 1.
        glTexImage2D(GL_TEXTURE_2D, 0, format == D3DFMT_X8R8G8B8 ? GL_RGB8 : GL_RGBA8,
                     static_cast<GLsizei>(textureWidth), static_cast<GLsizei>(textureHeight), 0, GL_BGRA,
                     GL_UNSIGNED_BYTE, created->texels.get());
    }
    if (OutOfMemory()) {
        created->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *out = created;
    return S_OK;
}

HRESULT WINAPI PortDevice::CreateVertexBuffer(UINT length, DWORD, DWORD bufferFvf, D3DPOOL,
                                              IDirect3DVertexBuffer9** out, HANDLE* sharedHandle) {
    if (out == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *out = nullptr;
    // A vertex buffer of a known format holds at least one vertex.
    const VertexLayout layout = LayoutOfFvf(bufferFvf);
    if (length == 0 || sharedHandle != nullptr ||
        (bufferFvf != 0 && (!layout.valid || length < layout.stride))) {
        return D3DERR_INVALIDCALL;
    }
    PortVertexBuffer* created = nullptr;
    const HRESULT result = MakeBuffer(this, length, GL_ARRAY_BUFFER, &created);
    *out = created;
    return result;
}

HRESULT WINAPI PortDevice::CreateIndexBuffer(UINT length, DWORD, D3DFORMAT format, D3DPOOL,
                                             IDirect3DIndexBuffer9** out, HANDLE* sharedHandle) {
    if (out == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *out = nullptr;
    if (length == 0 || sharedHandle != nullptr || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32)) {
        return D3DERR_INVALIDCALL;
    }
    PortIndexBuffer* created = nullptr;
    const HRESULT result = MakeBuffer(this, length, GL_ELEMENT_ARRAY_BUFFER, &created);
    if (created != nullptr) {
        created->indexSize = format == D3DFMT_INDEX16 ? 2 : 4;
    }
    *out = created;
    return result;
}

HRESULT WINAPI PortDevice::CreateDepthStencilSurface(UINT surfaceWidth, UINT surfaceHeight, D3DFORMAT format,
                                                     D3DMULTISAMPLE_TYPE multiSample, DWORD, BOOL,
                                                     IDirect3DSurface9** out, HANDLE* sharedHandle) {
    if (out == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *out = nullptr;
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    if (surfaceWidth == 0 || surfaceHeight == 0 || sharedHandle != nullptr) {
        return D3DERR_INVALIDCALL;
    }
    if (format != D3DFMT_D16 || multiSample != D3DMULTISAMPLE_NONE ||
        surfaceWidth > static_cast<UINT>(largest) || surfaceHeight > static_cast<UINT>(largest)) {
        return D3DERR_NOTAVAILABLE;
    }
    auto* created = new PortSurface(this);
    OutOfMemory();
    glGenRenderbuffers(1, &created->renderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, created->renderbuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, static_cast<GLsizei>(surfaceWidth),
                          static_cast<GLsizei>(surfaceHeight));
    if (OutOfMemory()) {
        created->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *out = created;
    return S_OK;
}

HRESULT WINAPI PortDevice::SetDepthStencilSurface(IDirect3DSurface9* newZStencil) {
    auto* next = static_cast<PortSurface*>(newZStencil);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                              next == nullptr ? 0 : next->renderbuffer);
    Rebind(depth, next);
    return S_OK;
}

HRESULT WINAPI PortDevice::BeginScene() {
    if (inScene) {
        return D3DERR_INVALIDCALL;
    }
    inScene = true;
    return S_OK;
}

HRESULT WINAPI PortDevice::EndScene() {
    if (!inScene) {
        return D3DERR_INVALIDCALL;
    }
    inScene = false;
    return S_OK;
}

HRESULT WINAPI PortDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                                 DWORD) {
    // Direct3D refuses the whole call, colour included, when there is no depth buffer to clear.
    if ((count > 0 && rects == nullptr) || ((flags & D3DCLEAR_ZBUFFER) != 0 && depth == nullptr)) {
        return D3DERR_INVALIDCALL;
    }
    GLbitfield mask = 0;
    if ((flags & D3DCLEAR_TARGET) != 0) {
        float rgba[4];
        ColourToFloats(color, rgba);
        glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if ((flags & D3DCLEAR_ZBUFFER) != 0) {
        glClearDepth(z);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (count == 0) {
        glClear(mask);
        return S_OK;
    }
    // Rectangles are in Direct3D's top-down pixels.
    glEnable(GL_SCISSOR_TEST);
    for (DWORD i = 0; i < count; ++i) {
        const D3DRECT& r = rects[i];
        if (r.x2 > r.x1 && r.y2 > r.y1) {
            glScissor(r.x1, static_cast<GLint>(height) - r.y2, r.x2 - r.x1, r.y2 - r.y1);
            glClear(mask);
        }
    }
    glDisable(GL_SCISSOR_TEST);
    return S_OK;
}

HRESULT WINAPI PortDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    if (matrix == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    switch (state) {
        case D3DTS_VIEW:
            view = *matrix;
            break;
        case D3DTS_PROJECTION:
            projection = *matrix;
            projectionChanged = true;
            break;
        // The texture matrix takes effect only with texture transform flags, which stay off.
        case D3DTS_TEXTURE0:
            return S_OK;
        default:
            if (state != D3DTS_WORLD) {
                return D3DERR_INVALIDCALL;
            }
            world = *matrix;
            break;
    }
    transformsChanged = true;
    return S_OK;
}

HRESULT WINAPI PortDevice::SetMaterial(const D3DMATERIAL9* material) {
    if (material == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    SetGlColour(GL_FRONT_AND_BACK, GL_DIFFUSE, material->Diffuse);
    SetGlColour(GL_FRONT_AND_BACK, GL_AMBIENT, material->Ambient);
    SetGlColour(GL_FRONT_AND_BACK, GL_EMISSION, material->Emissive);
    // Specular lighting is off in a Direct3D device until D3DRS_SPECULARENABLE.
    SetGlColour(GL_FRONT_AND_BACK, GL_SPECULAR, {0, 0, 0, 0});
    return S_OK;
}

HRESULT WINAPI PortDevice::SetLight(DWORD index, const D3DLIGHT9* light) {
    if (light == nullptr || index >= kLightCount || light->Type != D3DLIGHT_DIRECTIONAL) {
        return D3DERR_INVALIDCALL;
    }
    lights[index] = *light;
    const GLenum glLight = GL_LIGHT0 + index;
    SetLightColour(glLight, GL_DIFFUSE, light->Diffuse);
    SetLightColour(glLight, GL_AMBIENT, light->Ambient);
    SetLightColour(glLight, GL_SPECULAR, {0, 0, 0, 0});
    transformsChanged = true;
    return S_OK;
}

HRESULT WINAPI PortDevice::LightEnable(DWORD index, BOOL enable) {
    if (index >= kLightCount) {
        return D3DERR_INVALIDCALL;
    }
    if (enable != FALSE) {
        glEnable(GL_LIGHT0 + index);
    } else {
        glDisable(GL_LIGHT0 + index);
    }
    return S_OK;
}

HRESULT WINAPI PortDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    switch (state) {
        case D3DRS_ZENABLE:
            if (value == 0) {
                glDisable(GL_DEPTH_TEST);
            } else {
                glEnable(GL_DEPTH_TEST);
            }
            return S_OK;
        case D3DRS_CULLMODE:
            if (value == kCullNone) {
                glDisable(GL_CULL_FACE);
                return S_OK;
            }
            if (value != kCullClockwise && value != kCullCounterClockwise) {
                return D3DERR_INVALIDCALL;
            }
            // The named winding is the one dropped; both APIs see windings as they are on screen.
            glEnable(GL_CULL_FACE);
            glCullFace(GL_BACK);
            glFrontFace(value == kCullCounterClockwise ? GL_CW : GL_CCW);
            return S_OK;
        case D3DRS_LIGHTING:
            if (value == 0) {
                glDisable(GL_LIGHTING);
            } else {
                glEnable(GL_LIGHTING);
            }
            return S_OK;
        case D3DRS_AMBIENT: {
            float rgba[4];
            ColourToFloats(value, rgba);
            glLightModelfv(GL_LIGHT_MODEL_AMBIENT, rgba);
            return S_OK;
        }
        default:
            return D3DERR_INVALIDCALL;
    }
}

HRESULT WINAPI PortDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* next) {
    if (stage != 0) {
        return D3DERR_INVALIDCALL;
    }
    // Textures are the only base textures this device makes.
    Rebind(texture, static_cast<PortTexture*>(static_cast<IDirect3DTexture9*>(next)));
    return S_OK;
}

void PortDevice::FlushTransforms() {
    if (!transformsChanged) {
        return;
    }
    transformsChanged = false;
    // The projection is set once; the view changes every frame.
    if (projectionChanged) {
        projectionChanged = false;
        const D3DMATRIX corrected = MultiplyMatrices(projection, clipCorrection);
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(&corrected.m[0][0]);
        glMatrixMode(GL_MODELVIEW);
    }
    const D3DMATRIX worldView = MultiplyMatrices(world, view);
    // Light directions are in world space: OpenGL takes them through the modelview of the moment.
    glLoadMatrixf(&view.m[0][0]);
    for (int i = 0; i < kLightCount; ++i) {
        const D3DVECTOR& d = lights[i].Direction;
        const GLfloat towardsLight[4] = {-d.x, -d.y, -d.z, 0.0f};
        glLightfv(GL_LIGHT0 + i, GL_POSITION, towardsLight);
    }
    glLoadMatrixf(&worldView.m[0][0]);
}

HRESULT WINAPI PortDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT, UINT,
                                                UINT startIndex, UINT primCount) {
    const std::uint64_t count = IndexCountOf(type, primCount);
    if (stream == nullptr || indices == nullptr || !layout.valid || streamStride < layout.stride ||
        baseVertexIndex < 0 || (count == 0 && primCount != 0)) {
        return D3DERR_INVALIDCALL;
    }
    if (count == 0) {
        return S_OK;
    }
    // Indices beyond either buffer are refused rather than read out of bounds.
    const std::uint64_t indexCount = indices->store.length / indices->indexSize;
    if (startIndex + count > indexCount) {
        return D3DERR_INVALIDCALL;
    }
    const std::uint64_t first =
        streamOffset + std::uint64_t{streamStride} * static_cast<std::uint64_t>(baseVertexIndex);
    const auto fits = [&](std::uint64_t largest) {
        return first + largest * streamStride + layout.stride <= stream->store.length;
    };
    if (!fits(indices->LargestOfAll()) &&
        !fits(indices->LargestIndex(startIndex, static_cast<UINT>(count)))) {
        return D3DERR_INVALIDCALL;
    }
    FlushTransforms();
    if (!pointersSet || pointerBuffer != stream->store.name || pointerFirst != first ||
        pointerStride != streamStride || pointerFvf != fvf) {
        SetVertexPointers(stream->store.name, first, layout);
    }
    // Without a texture the lit colour passes through.
    const bool textured = texture != nullptr && layout.texCoordOffset >= 0;
    if (textured != texturing) {
        if (textured) {
            glEnable(GL_TEXTURE_2D);
        } else {
            glDisable(GL_TEXTURE_2D);
        }
        texturing = textured;
    }
    if (textured) {
        BindTexture(texture->name);
    }
    BindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices->store.name);
    const auto* offset =
        reinterpret_cast<const void*>(static_cast<std::uintptr_t>(startIndex) * indices->indexSize);
    glDrawElements(GlPrimitive(type), static_cast<GLsizei>(count),
                   indices->indexSize == 2 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT, offset);
    return S_OK;
}

void PortDevice::SetVertexPointers(GLuint buffer, std::uint64_t first, const VertexLayout& layout) {
    const auto* base = reinterpret_cast<const std::uint8_t*>(static_cast<std::uintptr_t>(first));
    const auto stride = static_cast<GLsizei>(streamStride);
    BindBuffer(GL_ARRAY_BUFFER, buffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, base);
    if (layout.normalOffset >= 0) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, stride, base + layout.normalOffset);
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
    }
    if (layout.texCoordOffset >= 0) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, base + layout.texCoordOffset);
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    pointersSet = true;
    pointerBuffer = buffer;
    pointerFirst = first;
    pointerStride = streamStride;
    pointerFvf = fvf;
}

void PortDevice::BindTexture(GLuint name) {
    if (boundTexture != name) {
        glBindTexture(GL_TEXTURE_2D, name);
        boundTexture = name;
    }
}

void PortDevice::BindBuffer(GLenum target, GLuint name) {
    GLuint& bound = target == GL_ARRAY_BUFFER ? boundArrayBuffer : boundElementBuffer;
    if (bound != name) {
        glBindBuffer(target, name);
        bound = name;
    }
}

void PortDevice::ForgetTexture(GLuint name) {
    if (boundTexture == name) {
        boundTexture = 0;
    }
}

void PortDevice::ForgetBuffer(GLuint name) {
    if (boundArrayBuffer == name) {
        boundArrayBuffer = 0;
    }
    if (boundElementBuffer == name) {
        boundElementBuffer = 0;
    }
    if (pointerBuffer == name) {
        pointersSet = false;
    }
}

HRESULT WINAPI PortDevice::SetFVF(DWORD next) {
    const VertexLayout nextLayout = LayoutOfFvf(next);
    if (!nextLayout.valid) {
        return D3DERR_INVALIDCALL;
    }
    fvf = next;
    layout = nextLayout;
    return S_OK;
}

HRESULT WINAPI PortDevice::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData,
                                           UINT offsetInBytes, UINT stride) {
    if (streamNumber != 0) {
        return D3DERR_INVALIDCALL;
    }
    Rebind(stream, static_cast<PortVertexBuffer*>(streamData));
    streamOffset = offsetInBytes;
    streamStride = stride;
    return S_OK;
}

HRESULT WINAPI PortDevice::SetIndices(IDirect3DIndexBuffer9* indexData) {
    Rebind(indices, static_cast<PortIndexBuffer*>(indexData));
    return S_OK;
}

HRESULT WINAPI PortDevice::Present(const RECT*, const RECT*, HWND, const RGNDATA*) {
    int drawableWidth = 0;
    int drawableHeight = 0;
    SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    const bool sameSize =
        drawableWidth == static_cast<int>(width) && drawableHeight == static_cast<int>(height);
    glBlitFramebuffer(0, 0, static_cast<GLint>(width), static_cast<GLint>(height), 0, 0, drawableWidth,
                      drawableHeight, GL_COLOR_BUFFER_BIT, sameSize ? GL_NEAREST : GL_LINEAR);
    SDL_GL_SwapWindow(window);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    return S_OK;
}
