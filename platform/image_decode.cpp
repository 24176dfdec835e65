// Image decoding through Debian's stb_image (included from the system, compiled here once), with
// its allocations held to what the image being decoded needs: a PNG's zlib stream can inflate a
// thousandfold, and stb grows its buffer by doubling for as long as the stream goes on. DDS and
// PFM, which stb does not read, have readers of their own.
#define STB_IMAGE_IMPLEMENTATION
#include "platform/image_decode.h"

#include <climits>
#include <cstdlib>

#include "platform/dds_decode.h"
#include "platform/pfm_image.h"

namespace {

// The most one allocation may take, on the thread decoding; no limit outside a decode.
thread_local std::uint64_t tAllocationLimit = UINT64_MAX;
thread_local bool tAllocationRefused = false;

void* DecoderAllocate(std::size_t size) {
    if (size > tAllocationLimit) {
        tAllocationRefused = true;
        return nullptr;
    }
    // Zeroed: stb leaves pixels a file never gives (a JPEG without scan data) as they were.
    return std::calloc(1, size);
}

void* DecoderReallocate(void* block, std::size_t size) {
    if (size > tAllocationLimit) {
        tAllocationRefused = true;
        return nullptr;
    }
    return std::realloc(block, size);
}

}  // namespace

#define STBI_MALLOC(size) DecoderAllocate(size)
#define STBI_REALLOC(block, size) DecoderReallocate(block, size)
#define STBI_FREE(block) std::free(block)
#include <stb_image.h>

namespace {

enum class OwnFormat { kNone, kDds, kPfm };

// Which of our own readers the stream's first bytes call for; the stream is left where it was.
OwnFormat OwnFormatOf(std::FILE* stream, unsigned char* head, std::size_t& size) {
    const long start = std::ftell(stream);
    size = std::fread(head, 1, 256, stream);
    std::fseek(stream, start, SEEK_SET);
    return IsDdsHeader(head, size)   ? OwnFormat::kDds
           : IsPfmHeader(head, size) ? OwnFormat::kPfm
                                     : OwnFormat::kNone;
}

bool OwnHeader(OwnFormat format, const unsigned char* head, std::size_t size, int& width, int& height,
               std::string& why) {
    if (format == OwnFormat::kDds) {
        DdsHeader header;
        if (!ReadDdsHeader(head, size, header, why)) return false;
        width = static_cast<int>(header.width);
        height = static_cast<int>(header.height);
        return true;
    }
    PfmHeader header;
    if (!ReadPfmHeader(head, size, header)) {
        why = "a damaged PFM header";
        return false;
    }
    width = static_cast<int>(header.width);
    height = static_cast<int>(header.height);
    return true;
}

// The header of a format stb reads.
bool StbHeader(std::FILE* stream, int& width, int& height, int& channels, std::string& why) {
    if (stbi_info_from_file(stream, &width, &height, &channels) == 0) {
        why = stbi_failure_reason();
        return false;
    }
    // A top-down BMP's height comes as stored, negative; the decoder takes its magnitude.
    if (height < 0) height = height == INT_MIN ? INT_MAX : -height;
    return true;
}

// Twice the decoded pixels, for the doubling of a PNG's inflate buffer from its raw size, at the
// sample size stb decodes to first (floats for HDR, 16 bits for 16-bit PNG, PSD and PNM), with
// JPEG components rounded up to whole MCUs (at most 32x32 pixels); twice the file, for a PNG's
// compressed data, held whole in a buffer grown by doubling; and the decoders' own tables (a GIF's
// are 35 KiB).
std::uint64_t AllocationLimit(std::FILE* stream, std::uint64_t width, std::uint64_t height,
                              std::uint64_t channels, std::uint64_t fileSize) {
    const std::uint64_t sampleBytes = stbi_is_hdr_from_file(stream)      ? 4
                                      : stbi_is_16_bit_from_file(stream) ? 2
                                                                         : 1;
    return (std::uint64_t{1} << 20) + 2 * fileSize +
           2 * (width + 32) * (height + 32) * channels * sampleBytes;
}

}  // namespace

void FreeDecoded::operator()(std::uint8_t* pixels) const {
    stbi_image_free(pixels);
}

bool ReadImageSize(std::FILE* stream, int& width, int& height, std::string& why) {
    unsigned char head[256];
    std::size_t size = 0;
    const OwnFormat own = OwnFormatOf(stream, head, size);
    if (own != OwnFormat::kNone) return OwnHeader(own, head, size, width, height, why);
    int channels = 0;
    return StbHeader(stream, width, height, channels, why);
}

bool DecodeStoredImage(std::FILE* stream, std::uint64_t fileSize, StoredImage& image, std::string& why) {
    int width = 0;
    int height = 0;
    int channels = 0;
    unsigned char head[256];
    std::size_t size = 0;
    const OwnFormat own = OwnFormatOf(stream, head, size);
    if (own == OwnFormat::kDds) return DecodeDds(stream, image, why);
    if (own == OwnFormat::kPfm) return DecodePfm(stream, image, why);
    if (!StbHeader(stream, width, height, channels, why)) return false;
    tAllocationLimit = AllocationLimit(stream, width, height, channels, fileSize);
    tAllocationRefused = false;
    // Asking for no particular channel count spares a converted copy of the whole image.
    image.pixels.reset(stbi_load_from_file(stream, &image.width, &image.height, &image.channels, 0));
    tAllocationLimit = UINT64_MAX;
    if (image.pixels == nullptr) {
        why = tAllocationRefused ? "its data expands beyond the " + std::to_string(width) + "x" +
                                       std::to_string(height) + " pixels it declares"
                                 : stbi_failure_reason();
        return false;
    }
    return true;
}
