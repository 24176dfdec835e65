#include "map_tool/image_format.h"

#include <algorithm>
#include <array>
#include <cctype>
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
    std::string lower(extension);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower == ".tga" || lower == "tga";
}
