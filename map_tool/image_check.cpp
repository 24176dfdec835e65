// The steps of the viewer's texture loading that need no device; the pixels are decoded only from
// a sound header.
#include "map_tool/image_check.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

#include "platform/dds_image.h"
#include "platform/image_decode.h"
#include "platform/texture_from_file.h"

namespace {

// A DDS keeps its pixels in the format its header names, compressed or not, on the device too.
std::string DdsFormat(std::FILE* stream) {
    DdsHeader header;
    std::string why;
    return PeekDdsHeader(stream, header, why) ? DdsLayoutName(header.layout) : "";
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
    ImageHeader header = CheckImageHeader(stream, fileSize, kTypicalMaxTextureSize, kTypicalMaxTextureSize,
                                          "a typical device's");
    check.width = header.width;
    check.height = header.height;
    check.format = DdsFormat(stream);
    for (ImageProblem& problem : header.problems) check.problems.push_back(std::move(problem.why));
    StoredImage image;
    std::string reason;
    if (check.problems.empty() && !DecodeStoredImage(stream, fileSize, image, reason)) {
        check.problems.push_back("cannot be decoded (" + reason + ")");
    }
    std::fclose(stream);
    return check;
}
