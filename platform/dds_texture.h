#pragma once
// DXT textures kept compressed on the device, as Direct3D programs keep them, where the adapter
// has the format; elsewhere they are decoded like any other image.
#include <cstdio>
#include <string>

#include "platform/d3dx.h"

// D3DFMT_DXT1, DXT3 or DXT5 where the stream, at its start and left there, holds a DDS in that
// layout, a multiple of 4 texels each way, and the device's adapter has the format for textures;
// D3DFMT_UNKNOWN otherwise.
D3DFORMAT DeviceBlockFormat(IDirect3DDevice9* device, std::FILE* stream);

// A managed texture of one level in that format holding the file's top level as stored.
HRESULT CreateBlockTexture(IDirect3DDevice9* device, std::FILE* stream, D3DFORMAT format,
                           IDirect3DTexture9** texture, std::string& why);
