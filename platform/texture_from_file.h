#pragma once
// Textures from image files, with the reason in words when one cannot be made.
// D3DXCreateTextureFromFileA is these two steps.
#include <string>

#include "platform/d3dx.h"
#include "platform/regular_file.h"

// Makes a managed A8R8G8B8 texture with one level from the open image file, and closes the file.
// Before any pixel is decoded, the image's size is checked against the device's largest texture
// and the file's length against the fewest bytes that can hold the pixels its header declares;
// decoding may allocate only what those pixels need. On failure *texture is null and why
// says what went wrong.
HRESULT CreateTextureFromImageFile(IDirect3DDevice9* device, RegularFile& file, IDirect3DTexture9** texture,
                                   std::string& why);
