#include "app/arguments.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "platform/platform.h"
#include "platform/port/command_line.h"

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

TEST(CommandLine, SplitsAsCommandLineToArgvWDoes) {
    EXPECT_EQ(SplitCommandLine("  \"C:\\My Scenes\\court yard\"\t--help "),
              (Strings{"C:\\My Scenes\\court yard", "--help"}));
    EXPECT_EQ(SplitCommandLine(R"(a\\b c\"d e\\\"f "g\\" "")"),
              (Strings{R"(a\\b)", R"(c"d)", R"(e\"f)", "g\\", ""}));
    // "" inside quotes is a quote and ends the quoted part, as it did before msvcrt's 2008 rules.
    EXPECT_EQ(SplitCommandLine(R"("a""b c "x"""y z" o"pen ended)"),
              (Strings{"a\"b", "c", "x\"y z", "open ended"}));
    EXPECT_TRUE(SplitCommandLine("").empty());
}

TEST(CommandLine, ReadsBackWhatTheNativeEntryJoins) {
    const char* argv[] = {"vellmora", "plain", "with space", "",       "tab\there",
                          "quote\"d", "end\\", "sp ace\\",   "\\\\\"", "a\\\\b"};
    const int argc = static_cast<int>(std::size(argv));
    EXPECT_EQ(SplitCommandLine(JoinCommandLine(argc, argv)), Strings(argv + 1, argv + argc));
}

TEST(Request, OptionsWinOverPathsAndAnythingElseIsRefusedInOneLineWithTheUsage) {
    EXPECT_EQ(ReadRequest({"scene", "--help"}).kind, Request::Kind::kHelp);
    EXPECT_EQ(ReadRequest({"--version"}).kind, Request::Kind::kVersion);
    for (const Strings& refused : {Strings{"-x"}, Strings{"--help", "--verbose"}, Strings{"a", "b"}}) {
        const std::string line = ReadRequest(refused).refusal;
        EXPECT_TRUE(line.find("; usage: vellmora") != std::string::npos &&
                    line.find('\n') == std::string::npos)
            << line;
    }
}

class SceneFolder : public ::testing::Test {
  protected:
    fs::path previous = fs::current_path();
    fs::path dir = fs::temp_directory_path() / ("vellmora_args_" + std::to_string(::getpid()));

    void SetUp() override {
        fs::create_directories(dir / "my scene");
        std::ofstream(dir / "my scene" / "map.txt") << "0 0 0\n";
        std::ofstream(dir / "notes.txt") << "not a map\n";
        fs::current_path(dir);
        dir = fs::current_path();  // as the system writes it
    }
    void TearDown() override {
        fs::current_path(previous);
        fs::remove_all(dir);
    }

    // The exit code, or 1 when the start-up goes on; and what went to stderr.
    std::pair<int, std::string> Follow(const std::string& commandLine) {
        fs::current_path(dir);
        ::testing::internal::CaptureStderr();
        const std::optional<int> ended = FollowCommandLine(commandLine.c_str());
        return {ended.value_or(1), ::testing::internal::GetCapturedStderr()};
    }
};

TEST_F(SceneFolder, AFolderOrItsMapInAnyLetterCaseBecomesTheCurrentDirectory) {
    for (const char* given :
         {"\"my scene\"", "\"My Scene\\\\\"", "\"my scene/MAP.TXT\"", "\"MY SCENE\\Map.txt\""}) {
        EXPECT_EQ(Follow(given), std::make_pair(1, std::string())) << given;
        EXPECT_EQ(fs::current_path(), dir / "my scene") << given;
    }
    EXPECT_EQ(Follow(""), std::make_pair(1, std::string()));
    EXPECT_EQ(fs::current_path(), dir);
}

TEST_F(SceneFolder, AMissingPathOrAnotherFileIsRefusedInOneLineWithoutMoving) {
    EXPECT_EQ(Follow("nosuch"), std::make_pair(static_cast<int>(E_FAIL),
                                               std::string("vellmora: cannot show \"nosuch\": not found\n")));
    EXPECT_EQ(Follow("notes.txt"),
              std::make_pair(static_cast<int>(E_FAIL),
                             std::string("vellmora: cannot show \"notes.txt\": neither a folder nor a file "
                                         "named map.txt\n")));
    EXPECT_EQ(Follow("\"my scene\\nosuch\\..\\..\\nosuch\\map.txt\"").first, E_FAIL);
    EXPECT_EQ(fs::current_path(), dir);
}

TEST_F(SceneFolder, VersionGoesToStandardOutput) {
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(Follow("--version"), std::make_pair(0, std::string()));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "vellmora 1.1.0\n");
}

}  // namespace
