#include "scene/scene_data.h"

SceneData gScene;

void FindTextureRuns(SceneData& scene) {
    scene.runs.clear();
    for (std::int32_t j = 0; j < scene.triangleCount; ++j) {
        const std::int32_t texture = scene.faces[static_cast<std::size_t>(j)].textureIndex;
        if (scene.runs.empty() || scene.runs.back().textureIndex != texture) {
            scene.runs.push_back({j, 0, texture});
        }
        ++scene.runs.back().triangles;
    }
}
