#pragma once
// vellmora-map import --watch: the model imported again into the same folder whenever it, or a file
// its import read, has changed and settled, until Ctrl-C or SIGTERM.
#include "map_tool/import_options.h"

// 0 once stopped; 2 when the model is not there to watch.
int WatchImport(const ImportOptions& options);
