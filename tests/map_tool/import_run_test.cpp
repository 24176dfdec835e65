// vellmora-map import from the command line's arguments to the folder it leaves: models written
// here as OBJ text, the map read back by the viewer's reader, and the refusals that write nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>

#include "map_tool/bounded_run.h"
#include "map_tool/verbs.h"
#include "scene/map_file.h"
#include "tests/scene/map_file_fixture.h"

namespace fs = std::filesystem;

namespace {

class ImportRun : public MapFileTest {
  protected:
    fs::path Write(const std::string& name, const std::string& text) {
        MapFileTest::Write(name, text);
        return dir / name;
    }

    // Runs the import, keeping what it writes on stderr.
    int Import(Arguments arguments) {
        testing::internal::CaptureStderr();
        const int code = RunImport(arguments);
        errors_ = testing::internal::GetCapturedStderr();
        return code;
    }

    // Nothing but the given entries in the root: no map folder and no staging folder left behind.
    void ExpectOnly(std::size_t entries) {
        EXPECT_EQ(
            static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator())),
            entries);
    }

    std::string errors_;
};

// A right-handed triangle at z = 1 facing +z, its texture coordinates running up from the bottom.
constexpr const char* kFacingTriangle =
    "mtllib facing.mtl\nusemtl red\nv 0 0 1\nv 1 0 1\nv 0 1 1\nvt 0 0\nvt 1 0\nvt 0 1\nf 1/1 2/2 3/3\n";

TEST_F(ImportRun, AModelComesOutInTheViewersConventionsAndReadsBack) {
    Write("facing.mtl", "newmtl red\nKd 1 0 0\n");
    const fs::path model = Write("facing.obj", kFacingTriangle);
    const fs::path folder = dir / "out";

    ASSERT_EQ(Import({model.string(), folder.string(), "--scale", "1"}), 0) << errors_;

    const MapRead read = ReadMapFile((folder / kMapFileName).c_str());
    ASSERT_EQ(read.refusal, "");
    ASSERT_EQ(read.scene.triangleCount, 1);
    const Vertex* v = read.scene.vertices.data();
    const std::int32_t* i = read.scene.indices.data();
    // z negated; v from the top; and clockwise, so drawn, as seen from the start.
    for (int corner = 0; corner < 3; ++corner) EXPECT_EQ(v[i[corner]].z, -1.0f);
    for (int corner = 0; corner < 3; ++corner) EXPECT_EQ(v[i[corner]].v, 1.0f - v[i[corner]].y);
    const Vec3 a{v[i[0]].x, v[i[0]].y, v[i[0]].z};
    const Vec3 b{v[i[1]].x, v[i[1]].y, v[i[1]].z};
    const Vec3 c{v[i[2]].x, v[i[2]].y, v[i[2]].z};
    EXPECT_LT(read.scene.startPosition.z, -1.0f);
    EXPECT_GT(Dot(Cross(b - a, c - a), read.scene.startPosition - a), 0.0f);
    ASSERT_EQ(read.names.size(), 1u);
    EXPECT_TRUE(fs::is_regular_file(folder / read.names[0].name));

    // Run again: the map is kept without --force, and replaced with it.
    fs::resize_file(folder / kMapFileName, 0);
    EXPECT_EQ(Import({model.string(), folder.string()}), 2);
    EXPECT_NE(errors_.find("--force"), std::string::npos);
    EXPECT_EQ(fs::file_size(folder / kMapFileName), 0u);
    EXPECT_EQ(Import({model.string(), folder.string(), "--force"}), 0) << errors_;
    EXPECT_NE(fs::file_size(folder / kMapFileName), 0u);
    ExpectOnly(3);
}

TEST_F(ImportRun, ModelsWithNothingToDrawAreRefusedInOneLineWritingNothing) {
    const struct {
        const char* name;
        const char* text;
        const char* why;
    } refused[] = {
        {"missing.obj", nullptr, "missing.obj\""},
        {"lines.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2\nl 2 3\n", "no triangles"},
        {"infinite.obj", "v 0 0 0\nv 1e39 0 0\nv 0 1 0\nf 1 2 3\n", "not finite"},
        {"garbage.xyz", "no model at all", "xyz"},
    };
    for (const auto& model : refused) {
        const fs::path path = model.text ? Write(model.name, model.text) : dir / model.name;

        EXPECT_EQ(Import({path.string(), (dir / "out").string()}), 2) << model.name;

        EXPECT_NE(errors_.find(path.string() + ": "), std::string::npos) << errors_;
        EXPECT_NE(errors_.find(model.why), std::string::npos) << errors_;
        EXPECT_EQ(std::count(errors_.begin(), errors_.end(), '\n'), 1) << errors_;
    }
    ExpectOnly(3);
}

TEST_F(ImportRun, AModelThatExhaustsTheLibraryIsStoppedAtTheMemoryLimit) {
    const fs::path model = "/usr/share/assimp/models/invalid/OutOfMemory.off";
    if (!fs::exists(model)) GTEST_SKIP() << model << " is not installed (package assimp-testmodels)";
    if (!kMemoryBounded) GTEST_SKIP() << "this build cannot bound the address space";
    const auto started = std::chrono::steady_clock::now();

    EXPECT_EQ(Import({model.string(), (dir / "out").string(), "--memory-limit", "256"}), 2);

    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
    EXPECT_EQ(errors_,
              model.string() +
                  ": the import needed more than 256 MiB of memory (raise the limit with --memory-limit)\n");
    ExpectOnly(0);
}

TEST(ImportBoundedRun, TheChildsReportComesBackAndACrashOrAHangIsNamedInstead) {
    const RunOutcome made = RunBounded({256, 5}, [] { return RunOutcome{true, "made"}; });
    EXPECT_TRUE(made.ok);
    EXPECT_EQ(made.text, "made");

    const RunOutcome crashed = RunBounded({256, 5}, []() -> RunOutcome { std::abort(); });
    EXPECT_FALSE(crashed.ok);
    EXPECT_EQ(crashed.text, "the import crashed (signal 6, Aborted)");

    const auto started = std::chrono::steady_clock::now();
    const RunOutcome hung = RunBounded({256, 1}, []() -> RunOutcome {
        for (;;) pause();  // no processor time: only the wall clock ends it
    });
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    EXPECT_FALSE(hung.ok);
    EXPECT_EQ(hung.text, "the import took more than 1 s (raise the limit with --time-limit)");
}

TEST(ImportBoundedRunDeathTest, ASigtermToTheToolEndsTheChildAndTheRun) {
    EXPECT_EXIT(
        {
            const auto started = std::chrono::steady_clock::now();
            const RunOutcome stopped = RunBounded({256, 30}, []() -> RunOutcome {
                kill(getppid(), SIGTERM);
                for (;;) pause();
            });
            const bool atOnce = std::chrono::steady_clock::now() - started < std::chrono::seconds(5);
            std::exit(atOnce && stopped.text == "the import was interrupted" ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
