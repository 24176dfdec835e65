#include "map_tool/texture_names.h"

#include <algorithm>
#include <cctype>

#include "scene/map_file.h"
#include "scene/map_reader.h"

namespace {

bool IsPlain(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7f) return false;
    return std::string_view("%/\\<>:\"|?*").find(c) == std::string_view::npos;
}

std::string Lower(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// Windows opens a device, not a file, for these names, whatever their extension.
bool IsDeviceName(const std::string& name) {
    static const std::set<std::string> kDevices = {
        "con",  "prn",  "aux",  "nul",  "com1", "com2", "com3", "com4", "com5", "com6", "com7",
        "com8", "com9", "lpt1", "lpt2", "lpt3", "lpt4", "lpt5", "lpt6", "lpt7", "lpt8", "lpt9"};
    return kDevices.contains(Lower(name.substr(0, name.find('.'))));
}

// Plain characters only, none of the trailing dots and spaces that a lookup drops, and no device.
std::string MadePlain(std::string_view wanted) {
    std::string name(wanted);
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !IsPlain(c); }, '_');
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    if (name.empty()) name = "texture";
    if (!IsDeviceName(name)) return name;
    std::string prefixed(1, '_');
    return prefixed.append(name);
}

// stem + suffix + extension within the longest name, the stem cut to make room.
std::string Fitted(std::string_view stem, std::string_view suffix, std::string_view extension) {
    const std::size_t room = static_cast<std::size_t>(kMaxNameBytes) - suffix.size() - extension.size();
    std::string name(stem.substr(0, room));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name.append(suffix).append(extension);
}

}  // namespace

TextureNames::TextureNames() : taken_{kMapFileName} {}

std::string TextureNames::Claim(std::string_view wanted) {
    const std::string plain = MadePlain(wanted);
    const std::size_t dot = plain.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > 0 && plain.size() - dot <= 10;
    const std::string_view stem = std::string_view(plain).substr(0, hasExtension ? dot : plain.size());
    const std::string_view extension = std::string_view(plain).substr(stem.size());
    std::string name = Fitted(stem, "", extension);
    for (int number = 2; !taken_.insert(Lower(name)).second; ++number) {
        name = Fitted(stem, std::string("-").append(std::to_string(number)), extension);
    }
    return name;
}
