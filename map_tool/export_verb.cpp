#include <cstdio>

#include "map_tool/verbs.h"

int RunExport(const Arguments&) {
    std::fputs("vellmora-map: export is not built yet\n", stderr);
    return 2;
}
