// The adapter is asked as Direct3D programs ask it: for the device's own adapter and type, with the
// desktop's format, whether a texture may have the format.
#include "platform/dds_texture.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/dds_image.h"

namespace {

D3DFORMAT FormatOf(DdsLayout layout) {
    return layout == DdsLayout::kDxt1 ? D3DFMT_DXT1 : layout == DdsLayout::kDxt3 ? D3DFMT_DXT3 : D3DFMT_DXT5;
}

bool AdapterHas(IDirect3DDevice9* device, D3DFORMAT format) {
    D3DDEVICE_CREATION_PARAMETERS creation{};
    D3DDISPLAYMODE mode{};
    if (FAILED(device->GetCreationParameters(&creation)) || FAILED(device->GetDisplayMode(0, &mode)))
        return false;
    IDirect3D9* direct3D = nullptr;
    if (FAILED(device->GetDirect3D(&direct3D)) || direct3D == nullptr) return false;
    const HRESULT answer = direct3D->CheckDeviceFormat(creation.AdapterOrdinal, creation.DeviceType,
                                                       mode.Format, 0, D3DRTYPE_TEXTURE, format);
    direct3D->Release();
    return SUCCEEDED(answer);
}

}  // namespace

D3DFORMAT DeviceBlockFormat(IDirect3DDevice9* device, std::FILE* stream) {
    DdsHeader header;
    std::string why;
    if (!PeekDdsHeader(stream, header, why) || !IsBlockCompressed(header.layout)) return D3DFMT_UNKNOWN;
    // Direct3D 9 makes a DXT texture's top level of whole blocks only.
    if (header.width % 4 != 0 || header.height % 4 != 0) return D3DFMT_UNKNOWN;
    const D3DFORMAT format = FormatOf(header.layout);
    return AdapterHas(device, format) ? format : D3DFMT_UNKNOWN;
}

HRESULT CreateBlockTexture(IDirect3DDevice9* device, std::FILE* stream, D3DFORMAT format,
                           IDirect3DTexture9** texture, std::string& why) {
    DdsHeader header;
    DdsBytes blocks;
    if (!ReadDdsTopLevel(stream, header, blocks, why)) {
        why = "cannot be decoded (" + why + ")";
        return D3DXERR_INVALIDDATA;
    }
    const UINT width = static_cast<UINT>(header.width);
    const UINT height = static_cast<UINT>(header.height);
    why = "the device cannot make a " + std::to_string(width) + "x" + std::to_string(height) + " texture";
    IDirect3DTexture9* created = nullptr;
    HRESULT result = device->CreateTexture(width, height, 1, 0, format, D3DPOOL_MANAGED, &created, nullptr);
    if (FAILED(result) || created == nullptr) return FAILED(result) ? result : D3DERR_INVALIDCALL;
    D3DLOCKED_RECT locked{};
    result = created->LockRect(0, &locked, nullptr, 0);
    if (FAILED(result) || locked.pBits == nullptr) {
        created->Release();
        return FAILED(result) ? result : D3DERR_INVALIDCALL;
    }
    // The lock's pitch is a row of 4x4 blocks, perhaps padded; the file packs the rows.
    const std::size_t rowBytes = (width + 3) / 4 * (format == D3DFMT_DXT1 ? 8u : 16u);
    for (UINT row = 0; row < (height + 3) / 4; ++row) {
        std::memcpy(
            static_cast<std::uint8_t*>(locked.pBits) + static_cast<std::ptrdiff_t>(locked.Pitch) * row,
            blocks.get() + rowBytes * row, rowBytes);
    }
    created->UnlockRect(0);
    why.clear();
    *texture = created;
    return S_OK;
}
