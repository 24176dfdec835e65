#pragma once
// The image that stands for a material in the map: its diffuse or base-colour texture, embedded in
// the model or a file beside it, or else a small image of its colour.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

struct aiScene;

struct SlotImage {
    std::string key;     // equal keys are the same image, and share a slot
    std::string wanted;  // the file name it would like in the map's folder
    std::function<void(const std::filesystem::path&)> write;  // throws std::runtime_error on failure
    std::filesystem::path source = {};                        // the file write copies, if any
};

// A texture that is missing or in a format the viewer cannot read adds a warning naming it, and
// the material falls back to its colour.
SlotImage MaterialImage(const aiScene& scene, unsigned material, const std::filesystem::path& model,
                        std::vector<std::string>& warnings);
