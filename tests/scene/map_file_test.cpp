#include "scene/map_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/scene/map_file_fixture.h"

namespace {

using MapFile = MapFileTest;

TEST_F(MapFile, AMissingMapOrOneThatIsNoRegularFileIsRefusedWithoutReadingIt) {
    EXPECT_EQ(ReadMapFile(kMapFileName).refusal, "map.txt: cannot open the map file: not found");
    // A FIFO without a writer would block a plain open; /dev/zero never ends.
    ASSERT_EQ(::mkfifo("fifo", 0600), 0);
    std::filesystem::create_directory("folder");
    for (const char* target : {"fifo", "folder", "/dev/zero"}) {
        std::filesystem::remove("map.txt");
        std::filesystem::create_symlink(target, "map.txt");
        EXPECT_EQ(ReadMapFile(kMapFileName).refusal,
                  "map.txt: cannot open the map file: not a regular file (a folder, device, FIFO or socket)");
    }
}

TEST_F(MapFile, TheViewersMissingMapNamesItsFolderAndTheMapToolWhereThatIsInstalled) {
    const char* was = std::getenv("PATH");
    const std::string path = was != nullptr ? was : "";
    const std::string line =
        "map.txt: cannot open the map file: not found (in " + std::filesystem::current_path().string() + ")";
    ::setenv("PATH", "/nosuch", 1);
    EXPECT_EQ(ReadTheMap().refusal, line);
    Write("vellmora-map", "#!/bin/sh\n");
    std::filesystem::permissions("vellmora-map", std::filesystem::perms::owner_all);
    ::setenv("PATH", ("/nosuch:" + dir.string()).c_str(), 1);
    EXPECT_EQ(StartReadingMap().get().refusal,
              line + "; to make one from a model: vellmora-map import MODEL");
    ::setenv("PATH", path.c_str(), 1);
}

// An editor saving in place cuts the file short while it is read: the map is refused with its line
// or read as it was, and the program goes on (a mapped file would fault instead).
TEST_F(MapFile, AMapCutShortWhileItIsReadIsRefusedOrReadAsItWas) {
    std::string text = "0 0 0\n0\n200000\n";
    for (int i = 0; i < 200000; ++i) text += "1.25 -2.5 3.75 0.5 0.25\n";
    text += "0\n";
    for (int round = 0; round < 8; ++round) {
        Write("map.txt", text);
        std::thread cut([round] {
            std::this_thread::sleep_for(std::chrono::microseconds(250 * round));
            ASSERT_EQ(::truncate("map.txt", 1000), 0);
        });
        const MapRead read = ReadMapFile(kMapFileName);
        cut.join();
        EXPECT_TRUE(read.refusal.empty() || read.refusal.rfind("map.txt:", 0) == 0) << read.refusal;
    }
}

}  // namespace
