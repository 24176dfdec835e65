#pragma once
// One import of the model into its folder: made in a staging folder beside it and moved into place
// whole, map.txt last, or the folder left as it was.
#include "map_tool/bounded_run.h"
#include "map_tool/import_options.h"

// ok with the summary's text, or not with the reason; either way the files the import read.
RunOutcome ImportIntoFolder(const ImportOptions& options);
