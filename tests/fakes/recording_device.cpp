#include "tests/fakes/recording_device.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace {

template <typename... Args>
std::string Call(const char* name, Args... args) {
    std::string text = std::string(name) + "(";
    bool first = true;
    ((text += (first ? "" : ", ") + std::to_string(args), first = false), ...);
    return text + ")";
}

// DXT formats keep 4x4 texels in a block of 8 or 16 bytes; others are 4 bytes a texel here.
UINT BlockBytes(D3DFORMAT format) {
    return format == D3DFMT_DXT1 ? 8 : format == D3DFMT_DXT3 || format == D3DFMT_DXT5 ? 16 : 0;
}

UINT PitchOf(D3DFORMAT format, UINT width) {
    return BlockBytes(format) != 0 ? (width + 3) / 4 * BlockBytes(format) : width * 4;
}

UINT RowsOf(D3DFORMAT format, UINT height) {
    return BlockBytes(format) != 0 ? (height + 3) / 4 : height;
}

HRESULT AnswerFormat(RecordingDevice& device, UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                     DWORD usage, D3DRESOURCETYPE resourceType, D3DFORMAT format) {
    device.Note(Call("CheckDeviceFormat", adapter, static_cast<int>(type), static_cast<int>(adapterFormat),
                     usage, static_cast<int>(resourceType), static_cast<std::uint32_t>(format)));
    const auto& formats = device.textureFormats;
    const bool has = std::find(formats.begin(), formats.end(), format) != formats.end();
    return has && resourceType == D3DRTYPE_TEXTURE ? D3D_OK : D3DERR_NOTAVAILABLE;
}

void NoteRelease(ReleaseLog* log, const void* object) {
    if (log != nullptr) {
        log->push_back(object);
    }
}

}  // namespace

ULONG WINAPI RecordingTexture::AddRef() {
    return static_cast<ULONG>(++addRefCount);
}

ULONG WINAPI RecordingTexture::Release() {
    NoteRelease(releaseLog, this);
    return static_cast<ULONG>(++releaseCount);
}

HRESULT WINAPI RecordingTexture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT*, DWORD) {
    if (FAILED(lockResult) || level != 0) {
        return FAILED(lockResult) ? lockResult : D3DERR_INVALIDCALL;
    }
    ++lockCount;
    lockedRect->Pitch = static_cast<INT>(PitchOf(format, width));
    lockedRect->pBits = texels.data();
    return S_OK;
}

HRESULT WINAPI RecordingTexture::UnlockRect(UINT) {
    ++unlockCount;
    return S_OK;
}

// As Direct3D does, a size of 0 locks the whole buffer.
HRESULT BufferRecord::LockBytes(UINT offset, UINT size, void** data, DWORD flags) {
    if (FAILED(lockResult)) {
        return lockResult;
    }
    if (offset > bytes.size() || (size != 0 && size > bytes.size() - offset)) {
        return D3DERR_INVALIDCALL;
    }
    ++lockCount;
    lockedOffset = offset;
    lockedSize = size;
    lockFlags = flags;
    *data = bytes.data() + offset;
    return S_OK;
}

ULONG WINAPI RecordingIndexBuffer::Release() {
    NoteRelease(releaseLog, static_cast<IDirect3DIndexBuffer9*>(this));
    return static_cast<ULONG>(++releaseCount);
}

HRESULT WINAPI RecordingIndexBuffer::Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) {
    return LockBytes(offsetToLock, sizeToLock, data, flags);
}

HRESULT WINAPI RecordingIndexBuffer::Unlock() {
    ++unlockCount;
    return S_OK;
}

ULONG WINAPI RecordingVertexBuffer::Release() {
    NoteRelease(releaseLog, static_cast<IDirect3DVertexBuffer9*>(this));
    return static_cast<ULONG>(++releaseCount);
}

HRESULT WINAPI RecordingVertexBuffer::Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) {
    return LockBytes(offsetToLock, sizeToLock, data, flags);
}

HRESULT WINAPI RecordingVertexBuffer::Unlock() {
    ++unlockCount;
    return S_OK;
}

ULONG WINAPI RecordingSurface::Release() {
    NoteRelease(releaseLog, this);
    return static_cast<ULONG>(++releaseCount);
}

void RecordingDevice::Note(std::string call) {
    if (journal != nullptr) {
        journal->push_back(call);
    }
    calls.push_back(std::move(call));
}

std::vector<std::string> RecordingDevice::CallNames() const {
    std::vector<std::string> names;
    for (const std::string& call : calls) {
        names.push_back(call.substr(0, call.find('(')));
    }
    return names;
}

ULONG WINAPI RecordingDevice::Release() {
    NoteRelease(&releaseLog, this);
    return static_cast<ULONG>(++releaseCount);
}

ULONG WINAPI RecordingFormatCheck::Release() {
    return static_cast<ULONG>(++releaseCount);
}

HRESULT WINAPI RecordingFormatCheck::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                                       DWORD usage, D3DRESOURCETYPE resourceType,
                                                       D3DFORMAT checkFormat) {
    return AnswerFormat(*device, adapter, type, adapterFormat, usage, resourceType, checkFormat);
}

HRESULT WINAPI RecordingFormatCheck::CreateDevice(UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS*,
                                                  IDirect3DDevice9** returned) {
    *returned = nullptr;
    return D3DERR_NOTAVAILABLE;
}

HRESULT WINAPI RecordingDevice::GetDirect3D(IDirect3D9** direct3DObject) {
    Note(Call("GetDirect3D"));
    direct3D.device = this;
    *direct3DObject = &direct3D;
    return S_OK;
}

HRESULT WINAPI RecordingDevice::GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode) {
    Note(Call("GetDisplayMode", swapChain));
    *mode = {800, 600, 60, D3DFMT_X8R8G8B8};
    return S_OK;
}

HRESULT WINAPI RecordingDevice::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) {
    Note(Call("GetCreationParameters"));
    *parameters = {D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, 0};
    return S_OK;
}

HRESULT WINAPI RecordingDevice::GetDeviceCaps(D3DCAPS9* answer) {
    Note(Call("GetDeviceCaps"));
    *answer = caps;
    return S_OK;
}

HRESULT WINAPI RecordingDevice::TestCooperativeLevel() {
    Note(Call("TestCooperativeLevel"));
    if (cooperativeLevels.empty()) {
        return D3D_OK;
    }
    const HRESULT level = cooperativeLevels.front();
    cooperativeLevels.erase(cooperativeLevels.begin());
    return level;
}

HRESULT WINAPI RecordingDevice::Reset(D3DPRESENT_PARAMETERS* presentationParameters) {
    Note(Call("Reset"));
    resets.push_back(*presentationParameters);
    const auto alive = [](const auto& objects) {
        return std::any_of(objects.begin(), objects.end(), [](const auto& object) {
            return object->releaseCount == 0 && object->pool == D3DPOOL_DEFAULT;
        });
    };
    if (alive(indexBuffers) || alive(vertexBuffers) || alive(textures) ||
        std::any_of(surfaces.begin(), surfaces.end(),
                    [](const auto& surface) { return surface->releaseCount == 0; })) {
        return D3DERR_INVALIDCALL;
    }
    if (SUCCEEDED(resetResult)) {
        presentResult = S_OK;
    }
    return resetResult;
}

HRESULT WINAPI RecordingDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                              D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture,
                                              HANDLE*) {
    Note(Call("CreateTexture", width, height, levels, usage, static_cast<int>(format),
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
    created->releaseLog = &releaseLog;
    created->texels.assign(std::size_t{PitchOf(format, width)} * RowsOf(format, height), 0);
    *texture = created.get();
    textures.push_back(std::move(created));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                                   IDirect3DVertexBuffer9** vertexBuffer,
                                                   HANDLE* sharedHandle) {
    Note(Call("CreateVertexBuffer", length, usage, fvf, static_cast<int>(pool)) +
         (sharedHandle != nullptr ? " shared" : ""));
    *vertexBuffer = nullptr;
    if (FAILED(createVertexBufferResult)) {
        return createVertexBufferResult;
    }
    auto created = std::make_unique<RecordingVertexBuffer>();
    created->length = length;
    created->usage = usage;
    created->fvf = fvf;
    created->pool = pool;
    created->bytes.assign(length, 0xCD);
    created->lockResult = bufferLockResult;
    created->releaseLog = &releaseLog;
    *vertexBuffer = created.get();
    vertexBuffers.push_back(std::move(created));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                                  IDirect3DIndexBuffer9** indexBuffer, HANDLE* sharedHandle) {
    Note(Call("CreateIndexBuffer", length, usage, static_cast<int>(format), static_cast<int>(pool)) +
         (sharedHandle != nullptr ? " shared" : ""));
    *indexBuffer = nullptr;
    if (FAILED(createIndexBufferResult)) {
        return createIndexBufferResult;
    }
    auto created = std::make_unique<RecordingIndexBuffer>();
    created->length = length;
    created->usage = usage;
    created->format = format;
    created->pool = pool;
    created->bytes.assign(length, 0xCD);
    created->lockResult = bufferLockResult;
    created->releaseLog = &releaseLog;
    *indexBuffer = created.get();
    indexBuffers.push_back(std::move(created));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                                          D3DMULTISAMPLE_TYPE multiSample, DWORD quality,
                                                          BOOL discard, IDirect3DSurface9** surface,
                                                          HANDLE* sharedHandle) {
    Note(Call("CreateDepthStencilSurface", width, height, static_cast<int>(format),
              static_cast<int>(multiSample), quality, discard) +
         (sharedHandle != nullptr ? " shared" : ""));
    *surface = nullptr;
    if (FAILED(createDepthStencilResult)) {
        return createDepthStencilResult;
    }
    auto created = std::make_unique<RecordingSurface>();
    created->width = width;
    created->height = height;
    created->format = format;
    created->multiSample = multiSample;
    created->quality = quality;
    created->discard = discard;
    created->releaseLog = &releaseLog;
    *surface = created.get();
    surfaces.push_back(std::move(created));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::SetDepthStencilSurface(IDirect3DSurface9* newZStencil) {
    Note(Call("SetDepthStencilSurface"));
    depthStencil = newZStencil;
    return S_OK;
}

HRESULT WINAPI RecordingDevice::BeginScene() {
    Note(Call("BeginScene"));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::EndScene() {
    Note(Call("EndScene"));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                                      DWORD stencil) {
    Note(Call("Clear", count, flags, color, z, stencil));
    clears.push_back({count, rects != nullptr, flags, color, z, stencil});
    return S_OK;
}

HRESULT WINAPI RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    Note(Call("SetTransform", static_cast<int>(state)));
    transforms.push_back({state, *matrix});
    return S_OK;
}

HRESULT WINAPI RecordingDevice::SetMaterial(const D3DMATERIAL9* material) {
    Note(Call("SetMaterial"));
    materials.push_back(*material);
    return S_OK;
}

HRESULT WINAPI RecordingDevice::SetLight(DWORD index, const D3DLIGHT9* light) {
    Note(Call("SetLight", index));
    lights.push_back(*light);
    return S_OK;
}

HRESULT WINAPI RecordingDevice::LightEnable(DWORD index, BOOL enable) {
    Note(Call("LightEnable", index, enable));
    lightsEnabled[index] = enable;
    return S_OK;
}

HRESULT WINAPI RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    Note(Call("SetRenderState", static_cast<int>(state), value));
    renderStates[static_cast<int>(state)] = value;
    return S_OK;
}

HRESULT WINAPI RecordingDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    Note(Call("SetTexture", stage));
    if (stage == 0) {
        stageTexture = texture;
        textureSets.push_back(texture);
    }
    return S_OK;
}

HRESULT WINAPI RecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex,
                                                     UINT minVertexIndex, UINT numVertices, UINT startIndex,
                                                     UINT primCount) {
    Note(Call("DrawIndexedPrimitive", static_cast<int>(type), baseVertexIndex, minVertexIndex, numVertices,
              startIndex, primCount));
    draws.push_back(
        {type, baseVertexIndex, minVertexIndex, numVertices, startIndex, primCount, stageTexture});
    return S_OK;
}

HRESULT WINAPI RecordingDevice::SetFVF(DWORD fvf) {
    Note(Call("SetFVF", fvf));
    return S_OK;
}

HRESULT WINAPI RecordingDevice::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData,
                                                UINT offsetInBytes, UINT stride) {
    Note(Call("SetStreamSource", streamNumber, offsetInBytes, stride));
    streamSource = streamData;
    return S_OK;
}

HRESULT WINAPI RecordingDevice::SetIndices(IDirect3DIndexBuffer9* indexData) {
    Note(Call("SetIndices"));
    indices = indexData;
    return S_OK;
}

HRESULT WINAPI RecordingDevice::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                                        const RGNDATA* dirtyRegion) {
    Note(Call("Present"));
    ++presentCount;
    presentHadArguments = presentHadArguments || sourceRect != nullptr || destRect != nullptr ||
                          destWindowOverride != nullptr || dirtyRegion != nullptr;
    return presentResult;
}

ULONG WINAPI RecordingDirect3D::Release() {
    NoteRelease(&device.releaseLog, this);
    return static_cast<ULONG>(++releaseCount);
}

HRESULT WINAPI RecordingDirect3D::CheckDeviceFormat(UINT adapterIndex, D3DDEVTYPE type,
                                                    D3DFORMAT adapterFormat, DWORD usage,
                                                    D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) {
    return AnswerFormat(device, adapterIndex, type, adapterFormat, usage, resourceType, checkFormat);
}

HRESULT WINAPI RecordingDirect3D::CreateDevice(UINT adapterIndex, D3DDEVTYPE type, HWND window, DWORD flags,
                                               D3DPRESENT_PARAMETERS* parameters,
                                               IDirect3DDevice9** returned) {
    device.Note(Call("CreateDevice", adapterIndex, static_cast<int>(type), flags));
    ++createDeviceCount;
    adapter = adapterIndex;
    deviceType = type;
    focusWindow = window;
    behaviourFlags = flags;
    std::memcpy(&presentParameters, parameters, sizeof presentParameters);
    if (FAILED(createDeviceResult)) {
        *returned = nullptr;
        return createDeviceResult;
    }
    *returned = &device;
    return S_OK;
}
