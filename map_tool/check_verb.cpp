#include <cstdio>

#include "map_tool/verbs.h"

int RunCheck(const Arguments&) {
    std::fputs("vellmora-map: check is not built yet\n", stderr);
    return 2;
}
