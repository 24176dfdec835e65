#pragma once
// Whether the viewer can decode an image, told from its first bytes (and, for TGA, which has no
// signature, from its name's extension).
#include <cstddef>
#include <string_view>

// The kinds the viewer reads: BMP, PNG, JPEG, TGA, GIF, PSD, HDR, PIC, binary PPM/PGM, DDS and PFM.
bool ViewerReadsImage(std::string_view firstBytes, std::string_view extension);

// The fewest leading bytes ViewerReadsImage needs to tell.
constexpr std::size_t kImageSignatureBytes = 10;
