#pragma once
// How long an image file must be to hold all the pixel data its header declares, for the formats
// whose header says: uncompressed BMP and TGA, binary PGM and PPM. A decoder reading such a file cut
// short fills the missing pixels with black instead of failing.
#include <cstddef>
#include <cstdint>

// From the file's first bytes (kImageHeadBytes, or the whole file when shorter); 0 where the format
// does not tell (compressed pixel data, other formats, a header that does not fit those bytes).
constexpr std::size_t kImageHeadBytes = 256;
std::uint64_t DeclaredImageBytes(const unsigned char* head, std::size_t size);

// True where a PNG or TGA header declares a width or a height of 0, which their decoder refuses
// without saying so.
bool DeclaresNoPixels(const unsigned char* head, std::size_t size);
