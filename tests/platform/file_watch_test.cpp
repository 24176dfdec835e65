#include "platform/file_watch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

TEST(FileWatch, AChangeCountsOnceItHasHeldForOneMoreCheck) {
    const fs::path path = fs::temp_directory_path() / ("vellmora_watch_" + std::to_string(::getpid()));
    std::ofstream(path) << "one";
    RegularFile file;
    ASSERT_EQ(OpenRegularFile(path.c_str(), file).status, OpenStatus::kOk);
    CloseRegularFile(file);
    std::vector<WatchedFile> files{WatchOf(file)};
    EXPECT_TRUE(SettledChanges(files).empty()) << "unchanged";

    std::ofstream(path) << "one and";
    EXPECT_TRUE(SettledChanges(files).empty()) << "first seen: the writer may not be done";
    std::ofstream(path, std::ios::app) << " two";
    EXPECT_TRUE(SettledChanges(files).empty()) << "still being written";
    EXPECT_EQ(SettledChanges(files), std::vector<std::size_t>{0});

    fs::remove(path);
    SettledChanges(files);
    EXPECT_EQ(SettledChanges(files), std::vector<std::size_t>{0}) << "gone is a change too";
}

}  // namespace
