#include "scene/vertex_list.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <thread>

#include "scene/map_loader.h"

namespace {

// One byte at a time, as the reader steps: tokens are runs of bytes above 0x20, and LF, CR LF and a
// lone CR end one line each.
std::uint64_t SkipOneByOne(TextPlace& place, const char* end, std::uint64_t most, const char* until) {
    std::uint64_t passed = 0;
    bool inToken = false;
    for (const char* p = place.p; p < end; ++p) {
        if (static_cast<unsigned char>(*p) > 0x20) {
            if (!inToken && (passed == most || p >= until)) {
                place.p = p;
                return passed;
            }
            passed += !inToken;
            inToken = true;
            continue;
        }
        inToken = false;
        if (*p == '\n' || *p == '\r') ++place.line;
        if (*p == '\r' && p + 1 < end && p[1] == '\n') ++p;
    }
    place.p = end;
    return passed;
}

TEST(SkipTokens, StopsWhereSkippingOneByOneStopsWithTheSameLine) {
    std::mt19937 rng(3);
    const char alphabet[] = {'1',  '-',  '.',  'e',    ' ',    ' ',    '\n',
                             '\r', '\t', '\v', '\x01', '\x00', '\x80', '\xFF'};
    for (int round = 0; round < 4000; ++round) {
        // Runs of one kind of byte, so that CR LF pairs and long tokens cross the 64-byte blocks.
        std::string text;
        const std::size_t size = rng() % 400;
        while (text.size() < size)
            text.append(1 + rng() % (rng() % 4 == 0 ? 70 : 3), alphabet[rng() % sizeof alphabet]);
        const char* begin = text.data();
        const char* end = begin + text.size();
        const std::size_t from = text.empty() ? 0 : rng() % text.size();
        const char* until = begin + rng() % (text.size() + 1);
        const std::uint64_t most = rng() % 3 == 0 ? std::numeric_limits<std::uint64_t>::max() : rng() % 60;
        TextPlace expected{begin + from, 7};
        TextPlace got = expected;
        const std::uint64_t expectedPassed = SkipOneByOne(expected, end, most, until);
        ASSERT_EQ(SkipTokens(got, end, most, until), expectedPassed) << round;
        ASSERT_EQ(got.p - begin, expected.p - begin) << round;
        ASSERT_EQ(got.line, expected.line) << round;
    }
}

// The second thread's split is where reading on one thread arrives: after the vertex count, and at
// the start of the vertex it names. Were it anywhere else, its work would be thrown away unseen.
TEST(ReadAhead, SplitsWhereReadingOnOneThreadArrives) {
    if (std::thread::hardware_concurrency() < 2) GTEST_SKIP() << "one processor: no second thread";
    std::string text = "0 0 0\r\n300\r\n";
    for (int i = 0; i < 300; ++i) text += "1 2 3 0\r";
    text += "4000\n";
    for (int i = 0; i < 4000; ++i) text += std::to_string(i) + ".5 -2 3.25\n0.5 0.75\r\n";
    MapText cursor{"map.txt", text.data(), text.data() + text.size(), 1, false};
    float start = 0.0f;
    std::int32_t count = 0;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(ReadNumber(cursor, "", start));
    ASSERT_TRUE(ReadNumber(cursor, "", count));
    VertexLookahead ahead;
    StartVertexLookahead(ahead, cursor, count, 0);
    ASSERT_TRUE(ahead.split.valid());
    const VertexSplit split = ahead.split.get();
    ASSERT_TRUE(split.found);
    EXPECT_GT(split.first, 0);
    EXPECT_LT(split.first, 4000);

    std::int32_t number = 0;
    for (int i = 0; i < 4 * 300; ++i) ASSERT_TRUE(ReadNumber(cursor, "", number));
    ASSERT_TRUE(ReadNumber(cursor, "", number));
    EXPECT_EQ(split.vertexCount, 4000);
    EXPECT_EQ(split.countEnd, (TextPlace{cursor.p, cursor.line}));
    float coordinate = 0.0f;
    for (int i = 0; i < 5 * split.first; ++i) ASSERT_TRUE(ReadNumber(cursor, "", coordinate));
    SkipSpace(cursor);
    EXPECT_EQ(split.firstAt, (TextPlace{cursor.p, cursor.line}));
}

struct Loaded {
    bool ok;
    std::string errors;
    SceneData scene;
};

Loaded LoadText(const std::string& text, std::size_t readAheadFrom) {
    Loaded loaded;
    ::testing::internal::CaptureStderr();
    loaded.ok = LoadMapText("map.txt", text.data(), text.size(), nullptr, loaded.scene, readAheadFrom);
    loaded.errors = ::testing::internal::GetCapturedStderr();
    return loaded;
}

template <typename T>
bool SameBytes(const SceneArray<T>& a, const SceneArray<T>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

// Long maps, whole and spoilt at places before and after where the second thread starts: the same
// scene, or the same one line, with the list read ahead as without.
TEST(ReadAhead, GivesTheSceneAndTheMessagesOfOneThread) {
    std::mt19937 rng(11);
    const char* const separators[] = {" ", " ", "\n", "\r\n", "\r", "\t", " \v ", "\n\n"};
    auto separator = [&] { return separators[rng() % std::size(separators)]; };
    std::string text = "1 2 3\n2000\n";
    for (int i = 0; i < 4 * 2000; ++i)
        text += std::to_string(i % 4 == 3 ? rng() % 2 : rng() % 3000) + separator();
    text += "3000\n";
    const std::size_t verticesAt = text.size();
    for (int i = 0; i < 5 * 3000; ++i) {
        char number[32];
        std::snprintf(number, sizeof number, "%.3f", static_cast<double>(rng() % 2000000) / 1000.0 - 1000.0);
        text += number;
        text += separator();
    }
    text += "2 %a% %b%\n";

    std::vector<std::string> variants = {text, text.substr(0, text.size() - 3000)};
    for (const std::size_t at : {std::size_t{100}, verticesAt + 50, (verticesAt + text.size()) / 2 + 7,
                                 text.size() - 2000, text.size() - 30}) {
        for (const char* spoiler : {"x", "\x01", "\r\n1e39 ", " 1 "}) {
            std::string spoilt = text;
            spoilt.insert(at, spoiler);
            variants.push_back(spoilt);
        }
    }
    std::string moreVertices = text;
    moreVertices.replace(verticesAt - 5, 4, "3001");
    variants.push_back(moreVertices);

    for (std::size_t v = 0; v < variants.size(); ++v) {
        SCOPED_TRACE(v);
        const Loaded alone = LoadText(variants[v], std::numeric_limits<std::size_t>::max());
        const Loaded ahead = LoadText(variants[v], 0);
        EXPECT_EQ(ahead.ok, alone.ok);
        EXPECT_EQ(ahead.errors, alone.errors);
        EXPECT_EQ(v == 0, alone.ok) << alone.errors;
        EXPECT_TRUE(SameBytes(ahead.scene.vertices, alone.scene.vertices));
        EXPECT_TRUE(SameBytes(ahead.scene.indices, alone.scene.indices));
        EXPECT_EQ(ahead.scene.textureCount, alone.scene.textureCount);
    }
}

}  // namespace
