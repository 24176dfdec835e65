// The map tool is installed beside the viewer (the packages put both in one bin/), or on the PATH.
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/map_tool_hint.h"

namespace {

constexpr const char* kMapTool = "vellmora-map";

bool RunnableIn(std::string_view folder) {
    const std::string path = std::string(folder.empty() ? "." : folder) + "/" + kMapTool;
    return ::access(path.c_str(), X_OK) == 0;
}

bool BesideTheViewer() {
    char self[4096];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self);
    if (length <= 0 || static_cast<std::size_t>(length) == sizeof self) return false;
    const std::string_view path(self, static_cast<std::size_t>(length));
    return RunnableIn(path.substr(0, path.rfind('/')));
}

bool OnThePath() {
    const char* variable = std::getenv("PATH");
    std::string_view folders = variable != nullptr ? variable : "";
    while (!folders.empty()) {
        const std::size_t colon = folders.find(':');
        if (RunnableIn(folders.substr(0, colon))) return true;
        folders = colon == std::string_view::npos ? std::string_view() : folders.substr(colon + 1);
    }
    return false;
}

}  // namespace

std::string MapToolHint() {
    if (!BesideTheViewer() && !OnThePath()) return {};
    return std::string("; to make one from a model: ") + kMapTool + " import MODEL";
}
