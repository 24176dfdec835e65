// The steps of the viewer's texture loading that need no device; the pixels are decoded only from
// a sound header.
#include "map_tool/image_check.h"

#include <cstdint>
#include <cstdio>
#include <utility>

#include "platform/image_decode.h"
#include "platform/texture_from_file.h"

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
    for (ImageProblem& problem : header.problems) check.problems.push_back(std::move(problem.why));
    StoredImage image;
    std::string reason;
    if (check.problems.empty() && !DecodeStoredImage(stream, fileSize, image, reason)) {
        check.problems.push_back("cannot be decoded (" + reason + ")");
    }
    std::fclose(stream);
    return check;
}
