#include "map_tool/image_format.h"

#include <strings.h>

#include <array>
#include <string>

bool ViewerReadsImage(std::string_view firstBytes, std::string_view extension) {
    static constexpr std::array<std::string_view, 12> kSignatures = {"BM",           "\x89PNG\r\n\x1a\n",
                                                                     "\xff\xd8\xff", "GIF8",
                                                                     "8BPS",         "#?RADIANCE",
                                                                     "#?RGBE",       "P5",
                                                                     "P6",           "DDS ",
                                                                     "PF",           "Pf"};
    constexpr std::string_view kPic("\x53\x80\xf6\x34", 4);
    for (std::string_view signature : kSignatures) {
        if (firstBytes.starts_with(signature)) return true;
    }
    if (firstBytes.starts_with(kPic)) return true;
    const std::string text(extension);
    return ::strcasecmp(text.c_str(), ".tga") == 0 || ::strcasecmp(text.c_str(), "tga") == 0;
}
