#pragma once
// DirectDraw Surface files as Direct3D 9 programs write them: "DDS ", a 124-byte header, then each
// mipmap level in turn. The viewer reads the top level of a 2-D texture in the block-compressed
// DXT1, DXT3 and DXT5 layouts or in plain 32- and 24-bit colour.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/image_decode.h"

enum class DdsLayout { kDxt1, kDxt3, kDxt5, kA8R8G8B8, kX8R8G8B8, kR8G8B8, kA8B8G8R8, kX8B8G8R8 };

struct DdsHeader {
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    DdsLayout layout = DdsLayout::kDxt1;
    std::uint64_t levels = 1;  // as many as the header declares and the size allows
};

constexpr std::size_t kDdsHeaderBytes = 128;

bool IsDdsHeader(const unsigned char* head, std::size_t size);
// False, with why as a whole sentence, where the header is damaged or describes what the viewer
// does not read (a cube map, a volume texture, another pixel format).
bool ReadDdsHeader(const unsigned char* head, std::size_t size, DdsHeader& header, std::string& why);
// ReadDdsHeader on the start of a stream, which is left at its start.
bool PeekDdsHeader(std::FILE* stream, DdsHeader& header, std::string& why);

const char* DdsLayoutName(DdsLayout layout);
bool IsBlockCompressed(DdsLayout layout);
// The bytes of the whole file with every level the header declares.
std::uint64_t DdsFileBytes(const DdsHeader& header);

// The top level's bytes as stored, from a stream at the file's start that the caller has checked
// holds DdsFileBytes.
using DdsBytes = std::unique_ptr<std::uint8_t[], FreeDecoded>;
bool ReadDdsTopLevel(std::FILE* stream, DdsHeader& header, DdsBytes& bytes, std::string& why);
