#include "map_tool/import_watch.h"

#include <poll.h>

#include <algorithm>
#include <cstdio>

#include "map_tool/staged_import.h"
#include "map_tool/stop_request.h"
#include "platform/file_watch.h"
#include "platform/regular_file.h"

namespace fs = std::filesystem;

namespace {

// A change is taken once it has held for one more check: within half a second, for a few stats a
// second while nothing changes.
constexpr int kCheckMilliseconds = 250;

std::string Normal(const fs::path& path) {
    std::error_code error;
    return fs::absolute(path, error).lexically_normal().string();
}

void SayWatched(const std::vector<WatchedFile>& files) {
    std::string names;
    std::error_code error;
    const fs::path here = fs::current_path(error);
    for (const WatchedFile& file : files) {
        names.append(names.empty() ? "" : ", ")
            .append(fs::path(file.path).lexically_proximate(here).string());
    }
    std::printf("watching %s for changes; Ctrl-C ends\n", names.c_str());
}

// Imports, then follows the model and what the import read; after a failure, what it followed
// before too. Stamps are taken before the import, so that a change made while it runs is seen.
void ImportAndFollow(const ImportOptions& options, std::vector<WatchedFile>& files) {
    for (WatchedFile& file : files) file = WatchOf(file.path);
    const RunOutcome outcome = ImportIntoFolder(options);
    if (StopRequested()) return;
    if (outcome.ok) {
        std::fputs(outcome.text.c_str(), stdout);
    } else {
        std::fprintf(stderr, "%s: %s\n", options.model.c_str(), outcome.text.c_str());
    }
    std::vector<WatchedFile> next;
    std::error_code error;
    const auto follow = [&](const std::string& path) {
        const std::string normal = Normal(path);
        const auto same = [&normal](const WatchedFile& file) { return file.path == normal; };
        if (std::any_of(next.begin(), next.end(), same)) return;
        const auto known = std::find_if(files.begin(), files.end(), same);
        // An image in the map's own folder is replaced by its copy: only a later change counts.
        const bool inMap = fs::equivalent(fs::path(normal).parent_path(), options.folder, error);
        next.push_back(known != files.end() && !inMap ? *known : WatchOf(normal));
    };
    follow(options.model);
    if (!outcome.ok) {
        for (const WatchedFile& file : files) follow(file.path);
    }
    for (const std::string& path : outcome.read) follow(path);
    const auto samePath = [](const WatchedFile& a, const WatchedFile& b) { return a.path == b.path; };
    const bool changed = !std::equal(files.begin(), files.end(), next.begin(), next.end(), samePath);
    files = std::move(next);
    if (changed || !outcome.ok) SayWatched(files);
    std::fflush(stdout);
}

}  // namespace

int WatchImport(const ImportOptions& options) {
    if (!StampOf(options.model).present) {
        std::error_code error;
        std::fprintf(
            stderr, "%s: %s\n", options.model.c_str(),
            WhyNotOpened(fs::exists(options.model, error) ? OpenStatus::kNotRegular : OpenStatus::kNotFound)
                .c_str());
        return 2;
    }
    const StopRequests stops;
    std::vector<WatchedFile> files{WatchOf(Normal(options.model))};
    ImportAndFollow(options, files);
    while (!StopRequested()) {
        poll(nullptr, 0, kCheckMilliseconds);
        if (!StopRequested() && !SettledChanges(files).empty()) ImportAndFollow(options, files);
    }
    return 0;
}
