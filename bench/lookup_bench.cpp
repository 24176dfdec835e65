// Benchmarks of the name lookup in a folder of 100,000 files: names in the files' own letter case
// against the same names in capitals, which need the folder's entries. The baseline reads the
// folder again for every name, as one lookup alone does. Makes the folder and removes it after.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/regular_file.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 100'000;
constexpr int kNames = 4'000;

fs::path gFolder;
std::vector<std::string> gExactNames;
std::vector<std::string> gOtherCaseNames;

bool MakeFolder() {
    std::error_code error;
    std::string pattern = (fs::temp_directory_path(error) / "vellmora-lookup-XXXXXX").string();
    if (error || mkdtemp(pattern.data()) == nullptr) return false;
    gFolder = pattern;  // from here on, main removes it whatever happens
    for (int k = 0; k < kFiles; ++k) {
        const std::string name = "stone" + std::to_string(k) + ".png";
        if (!std::ofstream(gFolder / name)) return false;
        if (k % (kFiles / kNames) != 0) continue;
        gExactNames.push_back(name);
        std::string upper = name;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        gOtherCaseNames.push_back(upper);
    }
    fs::current_path(gFolder, error);
    return !error;
}

// Opens every name, each load with listings of its own; names are taken from the start of the list.
void OpenNames(benchmark::State& state, const std::vector<std::string>& names, bool listingEachName) {
    const auto count = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        FolderListings listings;
        for (std::size_t k = 0; k < count; ++k) {
            if (listingEachName) listings = FolderListings{};
            RegularFile file;
            if (OpenRegularFile(names[k].c_str(), file, listings).status != OpenStatus::kOk) {
                state.SkipWithError("a name was not found");
                return;
            }
            CloseRegularFile(file);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * count));
}

void BM_OpenExactNames(benchmark::State& state) {
    OpenNames(state, gExactNames, false);
}
BENCHMARK(BM_OpenExactNames)->Arg(kNames)->Unit(benchmark::kMillisecond);

void BM_OpenOtherCaseNames(benchmark::State& state) {
    OpenNames(state, gOtherCaseNames, false);
}
BENCHMARK(BM_OpenOtherCaseNames)->Arg(kNames)->Unit(benchmark::kMillisecond);

void BM_OpenOtherCaseNamesReadingTheFolderEachTime(benchmark::State& state) {
    OpenNames(state, gOtherCaseNames, true);
}
BENCHMARK(BM_OpenOtherCaseNamesReadingTheFolderEachTime)->Arg(20)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    const fs::path previous = fs::current_path();
    const bool made = MakeFolder();
    if (made) {
        benchmark::RunSpecifiedBenchmarks();
    } else {
        std::fprintf(stderr, "lookup_bench: cannot make its folder of files in a temporary folder\n");
    }
    benchmark::Shutdown();
    std::error_code ignored;
    fs::current_path(previous, ignored);
    fs::remove_all(gFolder, ignored);
    return made ? 0 : 1;
}
