// Vertex and index buffers, textures and depth surfaces on OpenGL buffers, textures and
// renderbuffers. Buffers are locked by mapping them; textures keep a copy in memory for LockRect.
// Not implemented: mipmap levels beyond the first, lock flags (every lock may read and write),
// formats other than 32-bit colour, DXT1, DXT3, DXT5 and D16 depth.
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

HRESULT LockStore(PortDevice* device, BufferStore& store, GLenum target, UINT offset, UINT size,
                  void** data) {
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
        // The whole buffer, readable and writable, whatever the range: locks may nest.
        device->BindBuffer(target, store.name);
        store.mapped = static_cast<std::uint8_t*>(
            glMapBufferRange(target, 0, store.length, GL_MAP_READ_BIT | GL_MAP_WRITE_BIT));
        if (store.mapped == nullptr) {
            return D3DERR_INVALIDCALL;
        }
    }
    ++store.locks;
    *data = store.mapped + offset;
    return S_OK;
}

HRESULT UnlockStore(PortDevice* device, BufferStore& store, GLenum target) {
    if (store.locks == 0) {
        return D3DERR_INVALIDCALL;
    }
    if (--store.locks == 0) {
        device->BindBuffer(target, store.name);
        glUnmapBuffer(target);
        store.mapped = nullptr;
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
    return LockStore(device, store, GL_ARRAY_BUFFER, offsetToLock, sizeToLock, data);
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
    return LockStore(device, store, GL_ELEMENT_ARRAY_BUFFER, offsetToLock, sizeToLock, data);
}

HRESULT WINAPI PortIndexBuffer::Unlock() {
    return UnlockStore(device, store, GL_ELEMENT_ARRAY_BUFFER);
}

std::uint32_t PortIndexBuffer::LargestIndex(UINT start, UINT count) const {
    // Read where the indices live: the locked mapping, or a mapping of just these for reading.
    const std::size_t first = std::size_t{start} * indexSize;
    const std::uint8_t* bytes = store.mapped;
    if (bytes == nullptr) {
        device->BindBuffer(GL_ELEMENT_ARRAY_BUFFER, store.name);
        bytes = static_cast<const std::uint8_t*>(
            glMapBufferRange(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLintptr>(first),
                             std::size_t{count} * indexSize, GL_MAP_READ_BIT));
        if (bytes == nullptr) {
            return UINT32_MAX;  // unknown: no draw may trust it
        }
        bytes -= first;
    }
    std::uint32_t most = 0;
    for (UINT i = start; i < start + count; ++i) {
        std::uint32_t index = 0;
        if (indexSize == 2) {
            std::uint16_t narrow = 0;
            std::memcpy(&narrow, bytes + std::size_t{i} * 2, 2);
            index = narrow;
        } else {
            std::memcpy(&index, bytes + std::size_t{i} * 4, 4);
        }
        most = std::max(most, index);
    }
    if (store.mapped == nullptr) {
        glUnmapBuffer(GL_ELEMENT_ARRAY_BUFFER);
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

UINT BlockBytes(D3DFORMAT format) {
    return format == D3DFMT_DXT1 ? 8 : format == D3DFMT_DXT3 || format == D3DFMT_DXT5 ? 16 : 0;
}

std::size_t TextureBytes(D3DFORMAT format, UINT width, UINT height) {
    const UINT block = BlockBytes(format);
    if (block == 0) {
        return std::size_t{width} * height * 4;
    }
    return std::size_t{(width + 3) / 4} * ((height + 3) / 4) * block;
}

GLenum GlCompressedFormat(D3DFORMAT format) {
    return format == D3DFMT_DXT1   ? GL_COMPRESSED_RGBA_S3TC_DXT1_EXT
           : format == D3DFMT_DXT3 ? GL_COMPRESSED_RGBA_S3TC_DXT3_EXT
                                   : GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
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
    // A DXT texture locks whole 4x4 blocks: its pitch is a row of blocks' bytes.
    const UINT block = BlockBytes(format);
    if (block != 0 && (area.left % 4 != 0 || area.top % 4 != 0)) {
        return D3DERR_INVALIDCALL;
    }
    ++locks;
    if (block != 0) {
        lockedRect->Pitch = static_cast<INT>((width + 3) / 4 * block);
        lockedRect->pBits = texels.get() +
                            std::size_t(area.top / 4) * static_cast<std::size_t>(lockedRect->Pitch) +
                            std::size_t(area.left / 4) * block;
        return S_OK;
    }
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
        if (BlockBytes(format) != 0) {
            glCompressedTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(width),
                                      static_cast<GLsizei>(height), GlCompressedFormat(format),
                                      static_cast<GLsizei>(bytes), texels.get());
        } else {
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height),
                            GL_BGRA, GL_UNSIGNED_BYTE, texels.get());
        }
    }
    return S_OK;
}

ULONG WINAPI PortSurface::Release() {
    if (references == 1) {
        glDeleteRenderbuffers(1, &renderbuffer);
    }
    return ReleaseResource(this);
}
