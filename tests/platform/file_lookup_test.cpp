#include "platform/file_lookup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class FileLookupTest : public ::testing::Test {
  protected:
    fs::path dir = fs::temp_directory_path() / ("vellmora_lookup_" + std::to_string(::getpid()));
    fs::path previous = fs::current_path();

    void SetUp() override {
        fs::create_directories(dir);
        fs::current_path(dir);
    }
    void TearDown() override {
        fs::current_path(previous);
        fs::remove_all(dir);
    }
    static void Make(const std::string& relative) {
        if (fs::path(relative).has_parent_path()) fs::create_directories(fs::path(relative).parent_path());
        std::ofstream(relative) << "x";
    }
    static std::string Why(const char* name, FolderListings& listings) {
        RegularFile file;
        const OpenResult opened = OpenRegularFile(name, file, listings);
        CloseRegularFile(file);
        return opened.status == OpenStatus::kOk ? "opened" : WhyNotOpened(opened);
    }
};

// The same table runs through both programs end to end.
TEST_F(FileLookupTest, NamesOpenAsWindowsOpensThem) {
    std::ifstream table(VELLMORA_NAME_TABLE);
    ASSERT_TRUE(table) << VELLMORA_NAME_TABLE;
    FolderListings listings;
    int names = 0;
    for (std::string line; std::getline(table, line);) {
        std::istringstream row(line);
        std::string kind, name, expected;
        std::getline(std::getline(std::getline(row, kind, '\t'), name, '\t'), expected);
        if (kind == "file") Make(name);
        if (kind != "name") continue;
        EXPECT_EQ(Why(name.c_str(), listings), expected) << '"' << name << '"';
        ++names;
    }
    EXPECT_GT(names, 20);
}

TEST_F(FileLookupTest, TheExactNameWinsAndOtherwiseEveryCaseVariantIsNamed) {
    Make("a.bmp");
    Make("A.bmp");
    Make("Sub/x.png");
    Make("SUB/x.png");
    FolderListings listings;
    EXPECT_EQ(LookUpFile("A.bmp", listings).path, "A.bmp");
    EXPECT_EQ(LookUpFile("a.bmp", listings).path, "a.bmp");
    EXPECT_EQ(Why("a.BMP", listings),
              "not found; several files differ from the name only in letter case: A.bmp, a.bmp");
    EXPECT_EQ(Why("sub/x.png", listings),
              "not found; several folders differ from the name only in letter case: SUB, Sub");
}

// Folders are read once for a load: a file made after its folder was read is not seen through it.
TEST_F(FileLookupTest, EachFolderIsReadOnceForAllTheNamesOfALoad) {
    Make("Textures/Stone.BMP");
    FolderListings listings;
    EXPECT_EQ(LookUpFile("textures\\stone.bmp", listings).path, "Textures/Stone.BMP");
    Make("Textures/Grass.png");
    EXPECT_EQ(LookUpFile("TEXTURES/grass.png", listings).path, "Textures/grass.png");
    FolderListings fresh;
    EXPECT_EQ(LookUpFile("TEXTURES/grass.png", fresh).path, "Textures/Grass.png");
}

}  // namespace
