#pragma once
// The import itself: a model file read with the Open Asset Import Library and written as a map
// with its images. It runs in the bounded child (see bounded_run.h).
#include <assimp/postprocess.h>

#include <array>
#include <filesystem>
#include <optional>

#include "map_tool/bounded_run.h"

// Direct3D's conventions (left-handed, clockwise front faces, v from the top) from whatever the
// model uses; triangles only; vertices merged where all their attributes agree, so that the viewer
// smooths across the edges the model smooths across.
constexpr unsigned kReadSteps = aiProcess_ConvertToLeftHanded | aiProcess_Triangulate |
                                aiProcess_JoinIdenticalVertices | aiProcess_ValidateDataStructure;

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
