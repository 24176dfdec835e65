// Vertex and index buffers, textures and depth surfaces on OpenGL buffers, textures and
// renderbuffers, each with a copy in memory for Lock. Not implemented: mipmap levels beyond the
// first, lock flags (every lock may write), formats other than 32-bit colour and D16 depth.
#include <algorithm>
#include <cstring>

#include "platform/port/sdl/d3d9_objects.h"

PortResource::PortResource(PortDevice* owner) : device(owner) {
    ++device->liveResources;
}

PortResource::~PortResource() {
    device->ResourceGone();
}

namespace {

HRESULT LockStore(BufferStore& store, UINT offset, UINT size, void** data) {
    if (data == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *data = nullptr;
    // Size 0 locks everything from the offset on.
    const UINT end = size == 0 ? store.length : offset + size;
    if (offset > store.length || end > store.length || end < offset) {
        return D3DERR_INVALIDCALL;
    }
    if (store.locks == 0) {
        store.dirtyBegin = offset;
        store.dirtyEnd = end;
    } else {
        store.dirtyBegin = std::min(store.dirtyBegin, offset);
        store.dirtyEnd = std::max(store.dirtyEnd, end);
    }
    ++store.locks;
    *data = store.bytes.get() + offset;
    return S_OK;
}

HRESULT UnlockStore(PortDevice* device, BufferStore& store, GLenum target) {
    if (store.locks == 0) {
        return D3DERR_INVALIDCALL;
    }
    if (--store.locks == 0 && store.dirtyEnd > store.dirtyBegin) {
        device->BindBuffer(target, store.name);
        glBufferSubData(target, store.dirtyBegin, store.dirtyEnd - store.dirtyBegin,
                        store.bytes.get() + store.dirtyBegin);
    }
    return S_OK;
}

template <typename T>
ULONG ReleaseResource(T* resource) {
    const ULONG left = --resource->references;
    if (left == 0) {
        delete resource;
    }
    return left;
}

}  // namespace

ULONG WINAPI PortVertexBuffer::Release() {
    if (references == 1) {
        device->ForgetBuffer(store.name);
        glDeleteBuffers(1, &store.name);
    }
    return ReleaseResource(this);
}

HRESULT WINAPI PortVertexBuffer::Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD) {
    return LockStore(store, offsetToLock, sizeToLock, data);
}

HRESULT WINAPI PortVertexBuffer::Unlock() {
    return UnlockStore(device, store, GL_ARRAY_BUFFER);
}

ULONG WINAPI PortIndexBuffer::Release() {
    if (references == 1) {
        device->ForgetBuffer(store.name);
        glDeleteBuffers(1, &store.name);
    }
    return ReleaseResource(this);
}

HRESULT WINAPI PortIndexBuffer::Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD) {
    largestKnown = false;
    return LockStore(store, offsetToLock, sizeToLock, data);
}

HRESULT WINAPI PortIndexBuffer::Unlock() {
    return UnlockStore(device, store, GL_ELEMENT_ARRAY_BUFFER);
}

std::uint32_t PortIndexBuffer::LargestIndex(UINT start, UINT count) const {
    std::uint32_t most = 0;
    for (UINT i = start; i < start + count; ++i) {
        std::uint32_t index = 0;
        if (indexSize == 2) {
            std::uint16_t narrow = 0;
            std::memcpy(&narrow, store.bytes.get() + std::size_t{i} * 2, 2);
            index = narrow;
        } else {
            std::memcpy(&index, store.bytes.get() + std::size_t{i} * 4, 4);
        }
        most = std::max(most, index);
    }
    return most;
}

std::uint32_t PortIndexBuffer::LargestOfAll() {
    if (!largestKnown) {
        largestOfAll = LargestIndex(0, static_cast<UINT>(store.length / indexSize));
        largestKnown = true;
    }
    return largestOfAll;
}

ULONG WINAPI PortTexture::AddRef() {
    return ++references;
}

ULONG WINAPI PortTexture::Release() {
    if (references == 1) {
        device->ForgetTexture(name);
        glDeleteTextures(1, &name);
    }
    return ReleaseResource(this);
}

HRESULT WINAPI PortTexture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD) {
    if (level != 0 || lockedRect == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    RECT whole{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    const RECT& area = rect == nullptr ? whole : *rect;
    if (area.left < 0 || area.top < 0 || area.right > whole.right || area.bottom > whole.bottom ||
        area.left >= area.right || area.top >= area.bottom) {
        return D3DERR_INVALIDCALL;
    }
    ++locks;
    lockedRect->Pitch = static_cast<INT>(width * 4);
    lockedRect->pBits =
        texels.get() + (std::size_t{width} * static_cast<std::size_t>(area.top) + area.left) * 4;
    return S_OK;
}

HRESULT WINAPI PortTexture::UnlockRect(UINT level) {
    if (level != 0 || locks == 0) {
        return D3DERR_INVALIDCALL;
    }
    if (--locks == 0) {
        device->BindTexture(name);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height),
                        GL_BGRA, GL_UNSIGNED_BYTE, texels.get());
    }
    return S_OK;
}

ULONG WINAPI PortSurface::Release() {
    if (references == 1) {
        glDeleteRenderbuffers(1, &renderbuffer);
    }
    return ReleaseResource(this);
}
