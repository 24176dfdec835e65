#include "map_tool/model_import.h"

#include <assimp/DefaultIOSystem.h>
#include <assimp/scene.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <assimp/ProgressHandler.hpp>
#include <cmath>

#include "map_tool/import_summary.h"
#include "map_tool/map_text_writer.h"
#include "map_tool/model_geometry.h"
#include "map_tool/progress_line.h"
#include "map_tool/texture_slots.h"
#include "scene/map_file.h"
#include "scene/map_reader.h"

namespace {

class ReadingProgress : public Assimp::ProgressHandler {
  public:
    explicit ReadingProgress(ProgressLine& line) : line_(line) {}
    bool Update(float percentage) override {
        line_.Show("reading", percentage < 0 ? -1 : static_cast<int>(std::lround(percentage * 100)));
        return true;
    }

  private:
    ProgressLine& line_;
};

// Notes each file the library opens (the model, and such files as an OBJ's .mtl or a glTF's .bin),
// for a watch to follow.
class NotingFiles : public Assimp::DefaultIOSystem {
  public:
    explicit NotingFiles(std::vector<std::string>& opened) : opened_(opened) {}
    Assimp::IOStream* Open(const char* file, const char* mode) override {
        Assimp::IOStream* stream = DefaultIOSystem::Open(file, mode);
        if (stream != nullptr && std::find(opened_.begin(), opened_.end(), file) == opened_.end()) {
            opened_.emplace_back(file);
        }
        return stream;
    }

  private:
    std::vector<std::string>& opened_;
};

std::vector<std::string> GeometryWarnings(const ModelGeometry& geometry) {
    std::vector<std::string> warnings;
    if (geometry.points != 0 || geometry.lines != 0) {
        warnings.push_back(std::to_string(geometry.points) + " points and " + std::to_string(geometry.lines) +
                           " lines left out: a map holds triangles only");
    }
    if (geometry.nonFiniteVertices != 0) {
        warnings.push_back(std::to_string(geometry.nonFiniteVertices) +
                           " vertices that are not finite numbers left out, with the " +
                           std::to_string(geometry.nonFiniteTriangles) + " triangles that use them");
    }
    return warnings;
}

}  // namespace

RunOutcome ImportModel(const ImportRequest& request) {
    ProgressLine progress(request.model.filename().string());
    std::vector<std::string> read;
    Assimp::Importer importer;
    // The importer deletes its progress handler and its file system.
    importer.SetProgressHandler(new ReadingProgress(progress));
    importer.SetIOHandler(new NotingFiles(read));
    const aiScene* scene = importer.ReadFile(request.model.string(), kReadSteps);
    if (scene == nullptr) return {false, importer.GetErrorString(), read};

    progress.Show("converting");
    ModelGeometry geometry = CollectGeometry(*scene);
    ImportSummary summary;
    summary.model = request.model.string();
    summary.map = (request.folder / kMapFileName).string();
    summary.scaleGiven = request.scale.has_value();
    summary.warnings = GeometryWarnings(geometry);
    if (geometry.triangles.empty()) {
        std::string why = "the model has no triangles";
        for (const std::string& warning : summary.warnings) why += "; " + warning;
        return {false, why, read};
    }
    if (geometry.triangles.size() > static_cast<std::size_t>(kTriangleCountRule.most)) {
        return {false, "the model has more triangles than a map holds", read};
    }

    progress.Show("writing the images");
    MapContent map;
    TextureSlots slots = MakeTextureSlots(*scene, request.model, request.staging, geometry.triangles);
    read.insert(read.end(), slots.copied.begin(), slots.copied.end());
    importer.FreeScene();
    summary.warnings.insert(summary.warnings.end(), slots.warnings.begin(), slots.warnings.end());
    summary.drawCalls = GroupByTexture(geometry.triangles, slots.names.size());
    std::string why;
    if (!PlaceModel(geometry.vertices, request.scale, request.start, summary.placement, why))
        return {false, why, read};

    progress.Show("writing the map");
    map.triangles = std::move(geometry.triangles);
    map.vertices = std::move(geometry.vertices);
    map.textureNames = std::move(slots.names);
    std::copy(summary.placement.start.begin(), summary.placement.start.end(), map.start);
    if (!WriteMapFile(request.staging / kMapFileName, map, why)) return {false, why, read};
    summary.triangles = map.triangles.size();
    summary.vertices = map.vertices.size();
    summary.textures = map.textureNames.size();
    return {true, SummaryText(summary), read};
}
