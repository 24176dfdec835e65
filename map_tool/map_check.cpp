// The checks put together, and the warnings in words.
#include "map_tool/map_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "map_tool/counted.h"
#include "map_tool/json_writer.h"
#include "platform/report.h"
#include "scene/view_limits.h"

namespace {

// The sample's numbers, each as item words it.
std::string Listed(const Sample& sample, const std::function<std::string(std::int32_t)>& item) {
    std::string text;
    for (const std::int32_t number : sample.first) text += (text.empty() ? "" : ", ") + item(number);
    if (sample.count > static_cast<std::int64_t>(sample.first.size())) text += ", ...";
    return text;
}

std::string Number(std::int32_t number) {
    return std::to_string(number);
}

double Diagonal(const Box& box) {
    double sum = 0;
    for (int k = 0; k < 3; ++k) sum += std::pow(double{box.high[k]} - box.low[k], 2);
    return std::sqrt(sum);
}

std::string Rounded(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", value);
    return text;
}

void WarnAboutTextures(MapCheck& check) {
    for (const TextureFile& texture : check.textureFiles) {
        const std::string slots =
            texture.slots > 1 ? " (" + std::to_string(texture.slots) + " slots name it)" : "";
        for (const std::string& problem : texture.image.problems) {
            check.warnings.push_back(check.mapName + ":" + std::to_string(texture.line) +
                                     ": cannot load texture " + Quote(texture.name) + ": " + problem + slots);
        }
    }
}

double DistanceToBox(const std::array<float, 3>& point, const Box& box) {
    double squared = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        const double outside = std::max({0.0, double{box.low[k]} - point[k], point[k] - double{box.high[k]}});
        squared += outside * outside;
    }
    return std::sqrt(squared);
}

void WarnAboutGeometry(MapCheck& check, const std::vector<TextureName>& names) {
    const GeometryCheck& geometry = check.geometry;
    std::vector<std::string>& warnings = check.warnings;
    if (geometry.drawCalls > kManyDrawCalls) {
        warnings.push_back(std::to_string(geometry.drawCalls) +
                           " draw calls a frame, above the 3,000 or so where Direct3D 9 drivers commonly "
                           "become the limit; grouping the triangles by texture would leave " +
                           std::to_string(geometry.texturesUsed));
    }
    if (geometry.unusedVertices.count > 0) {
        warnings.push_back(Counted(geometry.unusedVertices.count, "vertex is", "vertices are") +
                           " used by no triangle: " + Listed(geometry.unusedVertices, Number));
    }
    if (geometry.unusedTextures.count > 0) {
        warnings.push_back(Counted(geometry.unusedTextures.count, "texture is", "textures are") +
                           " used by no triangle: " + Listed(geometry.unusedTextures, [&](std::int32_t slot) {
                               return Number(slot) + " " + Quote(names[static_cast<std::size_t>(slot)].name);
                           }));
    }
    if (geometry.repeatedVertex.count > 0) {
        warnings.push_back(Counted(geometry.repeatedVertex.count, "triangle names", "triangles name") +
                           " one vertex twice, drawn as nothing: " + Listed(geometry.repeatedVertex, Number));
    }
    if (geometry.zeroArea.count > 0) {
        warnings.push_back(
            Counted(geometry.zeroArea.count, "triangle has", "triangles have") +
            " all corners on one line, drawn as nothing: " + Listed(geometry.zeroArea, Number));
    }
    const double diagonal = Diagonal(geometry.bounds);
    if (diagonal > 2 * kFarPlane) {
        warnings.push_back("the scene's bounds are " + Rounded(diagonal) +
                           " units corner to corner: no camera position has all of the scene within the " +
                           Rounded(kFarPlane) + " units the viewer draws");
    } else if (diagonal < kNearPlane) {
        warnings.push_back("the scene's bounds are " + Rounded(diagonal) +
                           " units corner to corner: all of the scene fits within the " +
                           Rounded(kNearPlane) + " units nearer than which the viewer draws nothing");
    }
    // A start outside the scene is how a model is looked at; one that sees none of it is a fault.
    if (DistanceToBox(check.start, geometry.bounds) > kFarPlane) {
        warnings.push_back("the start position " + ShortestText(check.start[0]) + " " +
                           ShortestText(check.start[1]) + " " + ShortestText(check.start[2]) +
                           " is more than " + Rounded(kFarPlane) +
                           " units from all of the scene: the viewer draws none of it from there");
    }
}

}  // namespace

MapCheck CheckMap(const std::string& mapName, const MapRead& read) {
    MapCheck check;
    check.mapName = mapName;
    check.refusal = read.refusal;
    if (!check.refusal.empty()) return check;
    const SceneData& scene = read.scene;
    check.triangles = scene.triangleCount;
    check.vertices = scene.vertexCount;
    check.textures = scene.textureCount;
    check.start = {scene.startPosition.x, scene.startPosition.y, scene.startPosition.z};
    for (const TextureName& name : read.names) check.emptySlots += name.name.empty();
    check.geometry = CheckGeometry(scene);
    check.textureFiles = CheckTextures(read.names);
    WarnAboutTextures(check);
    WarnAboutGeometry(check, read.names);
    return check;
}

int ExitCode(const MapCheck& check) {
    if (!check.refusal.empty()) return 2;
    return check.warnings.empty() ? 0 : 1;
}
