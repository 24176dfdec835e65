#include "map_tool/import_options.h"

#include <charconv>
#include <cmath>

const char* const kImportHelp =
    "Writes FOLDER (by default the model's name without its extension) with a map.txt and its\n"
    "images, so that the viewer started there shows the model.\n"
    "  --scale S             multiply the model's coordinates by S (1 keeps its units); by default\n"
    "                        its largest extent is made 20 units, about 200 frames' walk\n"
    "  --start X,Y,Z         the camera's start; by default in front of the model on its -z side,\n"
    "                        far enough back to see all of it\n"
    "  --force               replace an existing FOLDER/map.txt\n"
    "  --watch               import, then import again whenever the model or a file the import\n"
    "                        read (its images, an .mtl or .bin) has changed and settled, until\n"
    "                        Ctrl-C; implies --force. A failed import, the first one too, says why\n"
    "                        and leaves the map as it was, and the watch goes on; a missing MODEL\n"
    "                        is refused at once\n"
    "  --memory-limit MIB    the most memory the import may take (default 4096, or half the\n"
    "                        physical memory where that is less)\n"
    "  --time-limit SECONDS  the longest the import may take (default 120)\n";

namespace {

template <typename Number>
bool ParseNumber(std::string_view text, Number& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

bool ParseStart(std::string_view text, std::array<float, 3>& start) {
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t comma = i < 2 ? text.find(',') : text.size();
        if (comma == std::string_view::npos || !ParseNumber(text.substr(0, comma), start[i]) ||
            !std::isfinite(start[i])) {
            return false;
        }
        text.remove_prefix(std::min(comma + 1, text.size()));
    }
    return true;
}

// A whole number from 1 to most.
bool ParseLimit(std::string_view text, std::uint64_t most, std::uint64_t& value) {
    return ParseNumber(text, value) && value >= 1 && value <= most;
}

}  // namespace

bool ParseImportOptions(const Arguments& arguments, ImportOptions& options, std::string& why) {
    std::vector<std::string> places;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        const std::string_view value = hasValue ? std::string_view(arguments[i + 1]) : std::string_view();
        double scale = 0;
        std::array<float, 3> start{};
        std::uint64_t limit = 0;
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--force") {
            options.force = true;
        } else if (argument == "--watch") {
            options.watch = options.force = true;
        } else if (argument == "--scale" && ParseNumber(value, scale) && std::isfinite(scale) && scale > 0) {
            options.scale = scale;
            ++i;
        } else if (argument == "--start" && ParseStart(value, start)) {
            options.start = start;
            ++i;
        } else if (argument == "--memory-limit" && ParseLimit(value, std::uint64_t{1} << 30, limit)) {
            options.limits.memoryMiB = limit;
            ++i;
        } else if (argument == "--time-limit" && ParseLimit(value, 1000000, limit)) {
            options.limits.seconds = static_cast<unsigned>(limit);
            ++i;
        } else if (argument.starts_with("--")) {
            why.assign("cannot use ").append(argument);
            if (hasValue) why.append(" ").append(value);
            return false;
        } else {
            places.push_back(argument);
        }
    }
    if (options.help) return true;
    if (places.empty() || places.size() > 2) {
        why = places.empty() ? "no model given" : "too many names: " + places[2];
        return false;
    }
    options.model = places[0];
    options.folder = places.size() == 2 ? std::filesystem::path(places[1]) : options.model.stem();
    return true;
}
