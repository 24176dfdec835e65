// Benchmarks of vellmora-map's own part of an import, on a model of 1,000,000 triangles: from the
// library's scene to the map's text and its file, against writing the same bytes as they are (the
// disk's own speed). The library's read of the same model as an OBJ file is timed beside them.
#include <assimp/scene.h>
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <assimp/Importer.hpp>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "map_tool/map_placement.h"
#include "map_tool/map_text_writer.h"
#include "map_tool/model_geometry.h"
#include "map_tool/model_import.h"

namespace {

namespace fs = std::filesystem;

constexpr unsigned kGrid = 708;  // 707 x 707 squares: 999,698 triangles on 501,264 vertices

fs::path gFolder;
std::unique_ptr<aiScene> gModel;

// A rippled grid as one mesh, as the library leaves a read model.
std::unique_ptr<aiScene> MakeModel() {
    auto scene = std::make_unique<aiScene>();
    scene->mRootNode = new aiNode();
    scene->mRootNode->mNumMeshes = 1;
    scene->mRootNode->mMeshes = new unsigned[1]{0};
    scene->mNumMaterials = 1;
    scene->mMaterials = new aiMaterial* [1] { new aiMaterial() };
    scene->mNumMeshes = 1;
    scene->mMeshes = new aiMesh* [1] { new aiMesh() };
    aiMesh& mesh = *scene->mMeshes[0];
    mesh.mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    mesh.mNumVertices = kGrid * kGrid;
    mesh.mVertices = new aiVector3D[mesh.mNumVertices];
    mesh.mTextureCoords[0] = new aiVector3D[mesh.mNumVertices];
    mesh.mNumUVComponents[0] = 2;
    for (unsigned y = 0; y < kGrid; ++y) {
        for (unsigned x = 0; x < kGrid; ++x) {
            const float u = static_cast<float>(x) / (kGrid - 1);
            const float v = static_cast<float>(y) / (kGrid - 1);
            mesh.mVertices[y * kGrid + x] =
                aiVector3D(u * 97.3f, 0.37f * (x % 7) + 0.11f * (y % 5), v * 97.3f);
            mesh.mTextureCoords[0][y * kGrid + x] = aiVector3D(u * 8, v * 8, 0);
        }
    }
    mesh.mNumFaces = 2 * (kGrid - 1) * (kGrid - 1);
    mesh.mFaces = new aiFace[mesh.mNumFaces];
    unsigned f = 0;
    for (unsigned y = 0; y + 1 < kGrid; ++y) {
        for (unsigned x = 0; x + 1 < kGrid; ++x) {
            const unsigned a = y * kGrid + x;
            const unsigned corners[2][3] = {{a, a + kGrid, a + 1}, {a + 1, a + kGrid, a + kGrid + 1}};
            for (const auto& triangle : corners) {
                mesh.mFaces[f].mNumIndices = 3;
                mesh.mFaces[f++].mIndices = new unsigned[3]{triangle[0], triangle[1], triangle[2]};
            }
        }
    }
    return scene;
}

MapContent ToolPart(const aiScene& model) {
    ModelGeometry geometry = CollectGeometry(model);
    GroupByTexture(geometry.triangles, 1);
    Placement placement;
    std::string why;
    PlaceModel(geometry.vertices, std::nullopt, std::nullopt, placement, why);
    MapContent map;
    map.start[2] = placement.start[2];
    map.triangles = std::move(geometry.triangles);
    map.vertices = std::move(geometry.vertices);
    map.textureNames = {"model-0.png"};
    return map;
}

// From the library's scene to the map's text in memory.
void BM_ModelToMapText(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) bytes += MapText(ToolPart(*gModel)).size();
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_ModelToMapText)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same, written to map.txt.
void BM_ModelToMapFile(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string why;
        if (!WriteMapFile(gFolder / "map.txt", ToolPart(*gModel), why)) state.SkipWithError(why.c_str());
        bytes += fs::file_size(gFolder / "map.txt");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_ModelToMapFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The baseline: the finished text written as it is.
void BM_WriteTheSameBytes(benchmark::State& state) {
    const std::string text = MapText(ToolPart(*gModel));
    for (auto _ : state) {
        std::ofstream(gFolder / "copy.txt", std::ios::binary)
            .write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_WriteTheSameBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the import itself costs: the library reading the model as an OBJ file with the tool's steps.
void BM_LibraryReadsTheObj(benchmark::State& state) {
    const fs::path obj = gFolder / "grid.obj";
    if (!fs::exists(obj)) {
        std::ofstream out(obj);
        const aiMesh& mesh = *gModel->mMeshes[0];
        for (unsigned k = 0; k < mesh.mNumVertices; ++k) {
            out << "v " << mesh.mVertices[k].x << ' ' << mesh.mVertices[k].y << ' ' << mesh.mVertices[k].z
                << '\n'
                << "vt " << mesh.mTextureCoords[0][k].x << ' ' << mesh.mTextureCoords[0][k].y << '\n';
        }
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            const unsigned* i = mesh.mFaces[f].mIndices;
            out << "f " << i[0] + 1 << '/' << i[0] + 1 << ' ' << i[1] + 1 << '/' << i[1] + 1 << ' '
                << i[2] + 1 << '/' << i[2] + 1 << '\n';
        }
    }
    for (auto _ : state) {
        Assimp::Importer importer;
        if (importer.ReadFile(obj.string(), kReadSteps) == nullptr)
            state.SkipWithError(importer.GetErrorString());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(obj)));
}
BENCHMARK(BM_LibraryReadsTheObj)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    std::error_code error;
    std::string pattern = (fs::temp_directory_path(error) / "vellmora-map-bench-XXXXXX").string();
    const bool made = !error && mkdtemp(pattern.data()) != nullptr;
    if (made) {
        gFolder = pattern;
        gModel = MakeModel();
        benchmark::RunSpecifiedBenchmarks();
    } else {
        std::fprintf(stderr, "map_tool_bench: cannot make a temporary folder\n");
    }
    benchmark::Shutdown();
    if (made) fs::remove_all(gFolder, error);
    return made ? 0 : 1;
}
