#include "platform/file_lookup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/texture_from_file.h"

namespace {

namespace fs = std::filesystem;

class FileLookupTest : public ::testing::Test {
  protected:
    fs::path dir = fs::temp_directory_path() / ("vellmora_lookup_" + std::to_string(::getpid()));

    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    void Make(const std::string& relative) {
        fs::create_directories((dir / relative).parent_path());
        std::ofstream(dir / relative) << "x";
    }
    std::string In(const std::string& relative) { return (dir / relative).string(); }
};

TEST_F(FileLookupTest, BackslashesAndOtherLetterCaseFindTheFileComponentByComponent) {
    Make("Textures/Stone.BMP");
    const FileLookup found = LookUpFile((dir.string() + "\\textures\\stone.bmp").c_str());
    EXPECT_EQ(found.path, In("Textures/Stone.BMP"));
    EXPECT_EQ(found.ambiguity, "");
}

TEST_F(FileLookupTest, TheExactNameWinsAndOtherwiseEveryCaseVariantIsNamed) {
    Make("a.bmp");
    Make("A.bmp");
    EXPECT_EQ(LookUpFile(In("A.bmp").c_str()).path, In("A.bmp"));
    EXPECT_EQ(LookUpFile(In("a.bmp").c_str()).path, In("a.bmp"));
    const FileLookup neither = LookUpFile(In("a.BMP").c_str());
    EXPECT_EQ(neither.path, In("a.BMP"));
    EXPECT_EQ(neither.ambiguity, In("A.bmp") + ", " + In("a.bmp"));
}

TEST_F(FileLookupTest, ImagesAreOpenedThroughTheLookupAndAWarningNamesTheCaseVariants) {
    Make("Textures/Stone.BMP");
    Make("a.bmp");
    Make("A.bmp");
    RegularFile file;
    std::string why;
    EXPECT_TRUE(OpenImageFile((dir.string() + "\\TEXTURES\\stone.bmp").c_str(), file, why));
    CloseRegularFile(file);
    EXPECT_FALSE(OpenImageFile(In("a.BMP").c_str(), file, why));
    EXPECT_EQ(why, "not found; several files differ from the name only in letter case: " + In("A.bmp") +
                       ", " + In("a.bmp"));
}

TEST_F(FileLookupTest, AMissingNameStaysAsWrittenFromWhereItIsMissing) {
    Make("Sub/x.png");
    const FileLookup missing = LookUpFile((dir.string() + "/SUB\\none\\x.png").c_str());
    EXPECT_EQ(missing.path, In("Sub/none/x.png"));
    EXPECT_EQ(missing.ambiguity, "");
}

}  // namespace
