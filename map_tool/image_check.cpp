// The steps of the viewer's texture loading that need no device, in its words. Where its header is
// wrong in two ways both are said; the pixels are decoded only from a sound header.
#include "map_tool/image_check.h"

#include <cstdint>
#include <cstdio>

#include "platform/image_decode.h"
#include "platform/image_extent.h"

namespace {

std::string SizeText(std::uint64_t width, std::uint64_t height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

void CheckHeader(std::FILE* stream, std::uint64_t fileSize, ImageCheck& check) {
    unsigned char head[kImageHeadBytes];
    const std::size_t headSize = std::fread(head, 1, sizeof head, stream);
    std::string reason;
    if (std::fseek(stream, 0, SEEK_SET) != 0) {
        check.problems.push_back("cannot be read");
        return;
    }
    const bool sized = ReadImageSize(stream, check.width, check.height, reason);
    if (!sized) check.width = check.height = 0;
    if ((sized && (check.width == 0 || check.height == 0)) || (!sized && DeclaresNoPixels(head, headSize))) {
        check.problems.push_back("the image is empty (no pixels)");
        return;
    }
    if (!sized) {
        check.problems.push_back("not an image format the viewer reads, or damaged (" + reason + ")");
        return;
    }
    if (check.width > kTypicalMaxTextureSize || check.height > kTypicalMaxTextureSize) {
        check.problems.push_back(SizeText(check.width, check.height) +
                                 " pixels, larger than a typical device's " +
                                 SizeText(kTypicalMaxTextureSize, kTypicalMaxTextureSize) + " limit");
    }
    const ImageFloor floor = FewestImageBytes(head, headSize, check.width, check.height);
    if (floor.bytes <= fileSize) return;
    if (floor.packing == nullptr) {
        check.problems.push_back("pixel data cut short: the file holds " + std::to_string(fileSize) +
                                 " of the " + std::to_string(floor.bytes) + " bytes its header declares");
        return;
    }
    check.problems.push_back("the file's " + std::to_string(fileSize) + " bytes cannot hold the " +
                             SizeText(check.width, check.height) + " pixels its header declares (" +
                             floor.packing + ")");
}

}  // namespace

ImageCheck CheckImageFile(RegularFile& file) {
    ImageCheck check;
    const std::uint64_t fileSize = file.size;
    std::FILE* stream = StreamRegularFile(file);
    if (stream == nullptr) {
        check.problems.push_back("cannot be read");
        return check;
    }
    CheckHeader(stream, fileSize, check);
    StoredImage image;
    std::string reason;
    if (check.problems.empty() && !DecodeStoredImage(stream, fileSize, image, reason)) {
        check.problems.push_back("cannot be decoded (" + reason + ")");
    }
    std::fclose(stream);
    return check;
}
