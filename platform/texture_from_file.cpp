// Texture loading: check the image's header, decode it with the channels it has, and convert it
// row by row into the locked texture, so that the pixels are held only once besides the texture.
#include "platform/texture_from_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "platform/dds_image.h"
#include "platform/dds_texture.h"
#include "platform/image_decode.h"
#include "platform/image_extent.h"

namespace {

HRESULT Refuse(std::string& why, std::string reason, HRESULT result) {
    why = std::move(reason);
    return result;
}

std::string SizeText(std::uint64_t width, std::uint64_t height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

// A8R8G8B8 is a little-endian DWORD: memory holds B, G, R, A whatever the host's byte order.
// Grey fills all three colours; without alpha the texel is opaque.
void CopyRow(const std::uint8_t* source, int channels, int width, std::uint8_t* destination) {
    const bool colour = channels >= 3;
    const bool alpha = channels % 2 == 0;
    for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = source + channels * x;
        std::uint8_t* q = destination + 4 * x;
        q[0] = p[colour ? 2 : 0];
        q[1] = p[colour ? 1 : 0];
        q[2] = p[0];
        q[3] = alpha ? p[channels - 1] : 255;
    }
}

HRESULT CheckImage(IDirect3DDevice9* device, std::FILE* stream, std::uint64_t fileSize, std::string& why) {
    D3DCAPS9 caps{};
    const bool known = SUCCEEDED(device->GetDeviceCaps(&caps));
    const ImageHeader header = CheckImageHeader(stream, fileSize, known ? caps.MaxTextureWidth : UINT32_MAX,
                                                known ? caps.MaxTextureHeight : UINT32_MAX, "the device's");
    if (header.problems.empty()) return S_OK;
    return Refuse(why, header.problems.front().why, header.problems.front().result);
}

HRESULT FillTexture(IDirect3DDevice9* device, const StoredImage& image, IDirect3DTexture9** texture,
                    std::string& why) {
    const std::string cannot = "the device cannot make a " + SizeText(image.width, image.height) + " texture";
    IDirect3DTexture9* created = nullptr;
    HRESULT result = device->CreateTexture(static_cast<UINT>(image.width), static_cast<UINT>(image.height), 1,
                                           0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &created, nullptr);
    if (FAILED(result) || created == nullptr)
        return Refuse(why, cannot, FAILED(result) ? result : D3DERR_INVALIDCALL);
    D3DLOCKED_RECT locked{};
    result = created->LockRect(0, &locked, nullptr, 0);
    if (FAILED(result) || locked.pBits == nullptr) {
        created->Release();
        return Refuse(why, cannot, FAILED(result) ? result : D3DERR_INVALIDCALL);
    }
    const std::size_t rowBytes =
        static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.channels);
    for (int y = 0; y < image.height; ++y) {
        CopyRow(image.pixels.get() + rowBytes * static_cast<std::size_t>(y), image.channels, image.width,
                static_cast<std::uint8_t*>(locked.pBits) + static_cast<std::ptrdiff_t>(locked.Pitch) * y);
    }
    created->UnlockRect(0);
    *texture = created;
    return S_OK;
}

}  // namespace

ImageHeader CheckImageHeader(std::FILE* stream, std::uint64_t fileSize, std::uint32_t maxWidth,
                             std::uint32_t maxHeight, const char* whose) {
    ImageHeader header;
    auto problem = [&](std::string why, HRESULT result = D3DXERR_INVALIDDATA) {
        header.problems.push_back({std::move(why), result});
        return header;
    };
    unsigned char head[kImageHeadBytes];
    const std::size_t headSize = std::fread(head, 1, sizeof head, stream);
    if (std::fseek(stream, 0, SEEK_SET) != 0) return problem("cannot be read");
    std::string reason;
    const bool sized = ReadImageSize(stream, header.width, header.height, reason);
    if (!sized) header.width = header.height = 0;
    if ((sized && (header.width == 0 || header.height == 0)) ||
        (!sized && DeclaresNoPixels(head, headSize))) {
        return problem("the image is empty (no pixels)");
    }
    // A DDS reader's reason is a sentence of its own: a cube map is no damage.
    if (!sized && IsDdsHeader(head, headSize)) return problem(reason);
    if (!sized) return problem("not an image format the viewer reads, or damaged (" + reason + ")");
    const std::string size = SizeText(header.width, header.height);
    if (static_cast<std::uint32_t>(header.width) > maxWidth ||
        static_cast<std::uint32_t>(header.height) > maxHeight) {
        problem(size + " pixels, larger than " + whose + " " + SizeText(maxWidth, maxHeight) + " limit",
                D3DERR_NOTAVAILABLE);
    }
    const ImageFloor floor = FewestImageBytes(head, headSize, header.width, header.height);
    if (floor.bytes <= fileSize) return header;
    if (floor.packing == nullptr) {
        return problem("pixel data cut short: the file holds " + std::to_string(fileSize) + " of the " +
                       std::to_string(floor.bytes) + " bytes its header declares");
    }
    return problem("the file's " + std::to_string(fileSize) + " bytes cannot hold the " + size +
                   " pixels its header declares (" + floor.packing + ")");
}

HRESULT CreateTextureFromImageFile(IDirect3DDevice9* device, RegularFile& file, IDirect3DTexture9** texture,
                                   std::string& why) {
    *texture = nullptr;
    const std::uint64_t fileSize = file.size;
    std::FILE* stream = StreamRegularFile(file);
    if (stream == nullptr) return Refuse(why, "cannot be read", D3DXERR_INVALIDDATA);
    HRESULT result = CheckImage(device, stream, fileSize, why);
    const D3DFORMAT blocks = SUCCEEDED(result) ? DeviceBlockFormat(device, stream) : D3DFMT_UNKNOWN;
    if (blocks != D3DFMT_UNKNOWN) {
        result = CreateBlockTexture(device, stream, blocks, texture, why);
        std::fclose(stream);
        return result;
    }
    StoredImage image;
    std::string reason;
    if (SUCCEEDED(result) && !DecodeStoredImage(stream, fileSize, image, reason)) {
        result = Refuse(why, "cannot be decoded (" + reason + ")", D3DXERR_INVALIDDATA);
    }
    std::fclose(stream);
    return SUCCEEDED(result) ? FillTexture(device, image, texture, why) : result;
}

HRESULT WINAPI D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR srcFile,
                                          IDirect3DTexture9** texture) {
    if (texture == nullptr) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (device == nullptr || srcFile == nullptr) return D3DERR_INVALIDCALL;
    RegularFile file;
    if (OpenRegularFile(srcFile, file).status != OpenStatus::kOk) return D3DXERR_INVALIDDATA;
    std::string why;
    return CreateTextureFromImageFile(device, file, texture, why);
}
