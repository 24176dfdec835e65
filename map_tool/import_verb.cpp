#include <cstdio>

#include "map_tool/verbs.h"

int RunImport(const Arguments&) {
    std::fputs("vellmora-map: import is not built yet\n", stderr);
    return 2;
}
