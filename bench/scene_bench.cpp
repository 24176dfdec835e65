// Benchmarks of the scene data: the map reader against an fscanf baseline, and the normals
// against the plain double loop. Makes its maps in a temporary folder and removes them after.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <limits>
#include <map>
#include <string>
#include <utility>

#include "bench/fscanf_map_reader.h"
#include "bench/peak_memory.h"
#include "bench/quadratic_normals.h"
#include "scene/map_file.h"
#include "scene/normals.h"
#include "tools/random_map.h"

namespace {

namespace fs = std::filesystem;

constexpr RandomMapSize kLargeMap{};
constexpr RandomMapSize kSmallMap{20'000, 10'000, 8};
constexpr double kMiB = 1024.0 * 1024.0;

struct BenchFiles {
    fs::path folder;
    std::map<std::int32_t, fs::path> maps;  // by triangle count
    std::map<std::int32_t, SceneData> scenes;
};

BenchFiles gBench;

bool MakeMaps() {
    std::error_code error;
    std::string pattern = (fs::temp_directory_path(error) / "vellmora-bench-XXXXXX").string();
    if (error || mkdtemp(pattern.data()) == nullptr) {
        return false;
    }
    gBench.folder = pattern;  // from here on, main removes it whatever happens
    for (const RandomMapSize& size : {kLargeMap, kSmallMap}) {
        const fs::path path = gBench.folder / ("map" + std::to_string(size.triangles) + ".txt");
        if (!WriteRandomMap(path.c_str(), size)) {
            return false;
        }
        gBench.maps[size.triangles] = path;
    }
    return true;
}

std::size_t ArrayBytes(const SceneData& scene) {
    return scene.indices.capacity() * sizeof(std::int32_t) + scene.faces.capacity() * sizeof(FaceRecord) +
           scene.vertices.capacity() * sizeof(Vertex);
}

void BM_LoadMap(benchmark::State& state) {
    const fs::path& map = gBench.maps.at(kLargeMap.triangles);
    const auto fileBytes = static_cast<std::int64_t>(fs::file_size(map));
    for (auto _ : state) {
        const MapRead read = ReadMapFile(map.c_str());
        if (!read.refusal.empty()) {
            state.SkipWithError(read.refusal.c_str());
            return;
        }
        benchmark::DoNotOptimize(read.scene.vertices.data());
    }
    state.SetBytesProcessed(state.iterations() * fileBytes);

    // One more load, untimed, to see the most memory it holds at once (the file's bytes included).
    const bool peakReset = ResetPeakResident();
    const std::int64_t before = ResidentBytes();
    const MapRead read = ReadMapFile(map.c_str());
    const std::int64_t peak = PeakResidentBytes();
    if (peakReset && before >= 0 && peak >= 0) {
        state.counters["peak_mib"] = static_cast<double>(peak - before) / kMiB;
    }
    state.counters["file_mib"] = static_cast<double>(fileBytes) / kMiB;
    state.counters["arrays_mib"] = static_cast<double>(ArrayBytes(read.scene)) / kMiB;
}
BENCHMARK(BM_LoadMap)->Unit(benchmark::kMillisecond);

void BM_LoadMapFscanf(benchmark::State& state) {
    const fs::path& map = gBench.maps.at(kLargeMap.triangles);
    for (auto _ : state) {
        SceneData scene;
        if (!LoadMapWithFscanf(map.c_str(), nullptr, scene)) {
            state.SkipWithError("the fscanf reader refused the generated map");
            return;
        }
        benchmark::DoNotOptimize(scene.vertices.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(map)));
}
BENCHMARK(BM_LoadMapFscanf)->Unit(benchmark::kMillisecond);

// The argument is the map's triangle count; each map is loaded once and its normals made again
// and again.
void NormalsBenchmark(benchmark::State& state, void (*generate)(SceneData&)) {
    const auto triangles = static_cast<std::int32_t>(state.range(0));
    if (!gBench.scenes.contains(triangles)) {
        MapRead read = ReadMapFile(gBench.maps.at(triangles).c_str());
        if (!read.refusal.empty()) {
            state.SkipWithError(read.refusal.c_str());
            return;
        }
        gBench.scenes[triangles] = std::move(read.scene);
    }
    SceneData& scene = gBench.scenes[triangles];
    for (auto _ : state) {
        generate(scene);
        benchmark::DoNotOptimize(scene.vertices.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * scene.triangleCount);
}

void BM_GenerateNormals(benchmark::State& state) {
    NormalsBenchmark(state, [](SceneData& scene) { GenerateNormals(scene); });
}
BENCHMARK(BM_GenerateNormals)
    ->Arg(kSmallMap.triangles)
    ->Arg(kLargeMap.triangles)
    ->Unit(benchmark::kMillisecond);

// What the second thread saves: the same work kept on one thread whatever the size.
void BM_GenerateNormalsOneThread(benchmark::State& state) {
    NormalsBenchmark(
        state, [](SceneData& scene) { GenerateNormals(scene, std::numeric_limits<std::int32_t>::max()); });
}
BENCHMARK(BM_GenerateNormalsOneThread)
    ->Arg(kSmallMap.triangles)
    ->Arg(kLargeMap.triangles)
    ->Unit(benchmark::kMillisecond);

void BM_GenerateNormalsQuadratic(benchmark::State& state) {
    NormalsBenchmark(state, GenerateNormalsQuadratic);
}
BENCHMARK(BM_GenerateNormalsQuadratic)->Arg(kSmallMap.triangles)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    const bool made = MakeMaps();
    if (made) {
        benchmark::RunSpecifiedBenchmarks();
    } else {
        std::fprintf(stderr, "scene_bench: cannot write its maps in a temporary folder\n");
    }
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(gBench.folder, ignored);
    return made ? 0 : 1;
}
