// Texture loading: decode the image, then copy it into a one-level managed A8R8G8B8 texture.
#include <cstddef>
#include <cstdint>

#include "platform/d3dx.h"
#include "platform/image_decode.h"

namespace {

// A8R8G8B8 is a little-endian DWORD: memory holds B, G, R, A whatever the host's byte order.
void CopyRow(const std::uint8_t* rgba, int width, std::uint8_t* destination) {
    for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = rgba + 4 * x;
        std::uint8_t* q = destination + 4 * x;
        q[0] = p[2];
        q[1] = p[1];
        q[2] = p[0];
        q[3] = p[3];
    }
}

}  // namespace

HRESULT WINAPI D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR srcFile,
                                          IDirect3DTexture9** texture) {
    if (texture == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *texture = nullptr;
    if (device == nullptr || srcFile == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    DecodedImage image;
    if (!DecodeImageFile(srcFile, image)) {
        return D3DXERR_INVALIDDATA;
    }
    IDirect3DTexture9* created = nullptr;
    HRESULT result = device->CreateTexture(static_cast<UINT>(image.width), static_cast<UINT>(image.height), 1,
                                           0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &created, nullptr);
    if (FAILED(result) || created == nullptr) {
        return FAILED(result) ? result : D3DERR_INVALIDCALL;
    }
    D3DLOCKED_RECT locked{};
    result = created->LockRect(0, &locked, nullptr, 0);
    if (FAILED(result) || locked.pBits == nullptr) {
        created->Release();
        return FAILED(result) ? result : D3DERR_INVALIDCALL;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 4;
    for (int y = 0; y < image.height; ++y) {
        CopyRow(image.rgba.data() + rowBytes * static_cast<std::size_t>(y), image.width,
                static_cast<std::uint8_t*>(locked.pBits) + static_cast<std::ptrdiff_t>(locked.Pitch) * y);
    }
    created->UnlockRect(0);
    *texture = created;
    return S_OK;
}
