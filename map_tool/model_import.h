#pragma once
// The import itself: a model file read with the Open Asset Import Library and written as a map
// with its images. It runs in the bounded child (see bounded_run.h).
#include <array>
#include <filesystem>
#include <optional>

#include "map_tool/bounded_run.h"

struct ImportRequest {
    std::filesystem::path model;
    std::filesystem::path folder;   // where the map will stand, for the summary
    std::filesystem::path staging;  // where it is written
    std::optional<double> scale;
    std::optional<std::array<float, 3>> start;
};

// Writes map.txt and its images into request.staging. ok with the summary's text, or not with the
// reason the model is refused (the library's own, or the tool's).
RunOutcome ImportModel(const ImportRequest& request);
