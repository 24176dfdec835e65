// The map tool is not made for Windows (its model library is not packaged for mingw-w64): there is
// never one to point to.
#include "platform/map_tool_hint.h"

std::string MapToolHint() {
    return {};
}
