#include "map_tool/staged_import.h"

#include "map_tool/folder_output.h"
#include "map_tool/model_import.h"
#include "map_tool/progress_line.h"

namespace fs = std::filesystem;

RunOutcome ImportIntoFolder(const ImportOptions& options) {
    fs::path staging;
    std::string why;
    if (!MakeStagingFolder(options.folder, staging, why)) return {false, why};
    const ImportRequest request{options.model, options.folder, staging, options.scale, options.start};
    RunOutcome outcome = RunBounded(options.limits, [&request] { return ImportModel(request); });
    ClearProgressLine();
    if (outcome.ok && !MoveIntoPlace(staging, options.folder, why)) outcome = {false, why, outcome.read};
    std::error_code error;
    if (!outcome.ok) fs::remove_all(staging, error);
    return outcome;
}
