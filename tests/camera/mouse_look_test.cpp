#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "camera/camera.h"
#include "camera/input_state.h"
#include "tests/camera/look_by.h"

namespace {

struct Basis {
    Vec3 look;
    Vec3 right;
    Vec3 up;
};

Basis Current() {
    return {gCamera.look, gCamera.right, gCamera.up};
}

// The turn with a plus sign on the interim up: right and up come out scaled by cos(2 * pitch).
Basis PlusSignTurn(Basis b, int dx, int dy) {
    const float yaw = static_cast<float>(dx) * kMouseRadiansPerPixel;
    const float pitch = static_cast<float>(dy) * kMouseRadiansPerPixel;
    const float sy = std::sin(yaw), cy = std::cos(yaw), sp = std::sin(pitch), cp = std::cos(pitch);
    const Vec3 worldUp{0.0f, 1.0f, 0.0f};
    b.look = Cross(worldUp, b.look) * sy + b.look * cy;
    b.up = Cross(worldUp, b.up) * sy + b.up * cy;
    const Vec3 previousLook = b.look;
    b.look = previousLook * cp + b.up * sp;
    b.up = b.up * cp + previousLook * sp;
    b.right = Cross(b.up, b.look);
    b.up = Cross(b.look, b.right);
    D3DXVec3Normalize(&b.right, &b.right);
    D3DXVec3Normalize(&b.look, &b.look);
    D3DXVec3Normalize(&b.up, &b.up);
    return b;
}

float Length(const Vec3& v) {
    return std::sqrt(Dot(v, v));
}

void ExpectNear(const Vec3& actual, const Vec3& expected, float tolerance, const char* what) {
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}

void ExpectBasisNear(const Basis& actual, const Basis& expected, float tolerance) {
    ExpectNear(actual.look, expected.look, tolerance, "look");
    ExpectNear(actual.right, expected.right, tolerance, "right");
    ExpectNear(actual.up, expected.up, tolerance, "up");
}

class MouseLookTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetFakePointer();
        UseScreen(1920, 1080);
        InitInputState();
        InitCamera({0.0f, 0.0f, 0.0f});
    }
};

TEST_F(MouseLookTest, PausedOrUnfocusedTurnsNothingAndLeavesThePointer) {
    HandleKeyDown(VK_TAB);
    LookBy(50, 30);
    HandleKeyDown(VK_TAB);
    HandleFocusChange(false);
    LookBy(50, 30);
    EXPECT_TRUE(gFakePointer.moves.empty());
    ExpectBasisNear(Current(), {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}, 0.0f);
}

TEST_F(MouseLookTest, FailedPointerReadTurnsNothing) {
    gFakePointer.readFails = true;
    ApplyMouseLook();
    ExpectBasisNear(Current(), {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}, 0.0f);
}

TEST_F(MouseLookTest, RightwardOffsetTurnsRightAndRecentresThePointer) {
    LookBy(100, 0);
    const float s = std::sin(0.4f), c = std::cos(0.4f);
    ExpectBasisNear(Current(), {{s, 0, c}, {c, 0, -s}, {0, 1, 0}}, 1e-6f);
    ASSERT_EQ(gFakePointer.moves.size(), 1u);
    EXPECT_EQ(gFakePointer.moves[0].x, 960);
    EXPECT_EQ(gFakePointer.moves[0].y, 540);
}

TEST_F(MouseLookTest, UpwardOffsetTurnsUpAndSidewaysTurnsBleedOffPitch) {
    LookBy(0, 100);
    const float s = std::sin(0.4f), c = std::cos(0.4f);
    ExpectBasisNear(Current(), {{0, s, c}, {1, 0, 0}, {0, c, -s}}, 1e-6f);
    LookBy(100, 0);
    const float degreesUp = std::asin(gCamera.look.y) * 180.0f / std::numbers::pi_v<float>;
    EXPECT_NEAR(degreesUp, 21.28f, 0.01f);
}

TEST_F(MouseLookTest, CentredMessageOnlyStraightensTheBasis) {
    gCamera.look = {0.1f, 0.2f, 0.97f};
    gCamera.right = {0.9f, 0.05f, -0.1f};
    gCamera.up = {-0.05f, 0.95f, -0.2f};
    Vec3 expectedLook = gCamera.look;
    D3DXVec3Normalize(&expectedLook, &expectedLook);
    LookBy(0, 0);
    EXPECT_TRUE(gFakePointer.moves.empty()) << "a pointer at the centre is left where it is";
    ExpectNear(gCamera.look, expectedLook, 1e-6f, "look");
    EXPECT_NEAR(Dot(gCamera.look, gCamera.right), 0.0f, 1e-6f);
    EXPECT_NEAR(Dot(gCamera.look, gCamera.up), 0.0f, 1e-6f);
    EXPECT_NEAR(Dot(gCamera.right, gCamera.up), 0.0f, 1e-6f);
}

TEST_F(MouseLookTest, SmallOffsetsTurnAsThePlusSignFormulaDid) {
    for (int dx : {0, 7, -150}) {
        for (int dy = -196; dy <= 196; ++dy) {
            InitCamera({0.0f, 0.0f, 0.0f});
            LookBy(40, -60);
            const Basis expected = PlusSignTurn(Current(), dx, dy);
            LookBy(dx, dy);
            // The old formula loses precision as cos(2 * pitch) nears zero; allow for its rounding there.
            const float shrink = std::cos(2.0f * static_cast<float>(dy) * kMouseRadiansPerPixel);
            SCOPED_TRACE(testing::Message() << "dx " << dx << " dy " << dy);
            ExpectBasisNear(Current(), expected, 1e-6f + 1e-6f / std::fabs(shrink));
        }
    }
}

TEST_F(MouseLookTest, LargeOffsetsTurnAsATrueRotationWithoutFlipping) {
    for (int dy : {200, 400, 1000, -200, -400, -1000}) {
        InitCamera({0.0f, 0.0f, 0.0f});
        LookBy(0, dy);
        const float pitch = static_cast<float>(dy) * kMouseRadiansPerPixel;
        const float s = std::sin(pitch), c = std::cos(pitch);
        SCOPED_TRACE(testing::Message() << "dy " << dy);
        ExpectBasisNear(Current(), {{0, s, c}, {1, 0, 0}, {0, c, -s}}, 1e-5f);
    }
}

TEST_F(MouseLookTest, BasisStaysOrthonormalAndRightHandedThroughRandomMessages) {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> offset(-1400, 1400);
    std::uniform_int_distribution<int> small(-30, 30);
    for (int message = 0; message < 5000; ++message) {
        const bool large = message % 10 == 0;
        LookBy(large ? offset(random) : small(random), large ? offset(random) : small(random));
        const Vec3 look = gCamera.look, right = gCamera.right, up = gCamera.up;
        ASSERT_NEAR(Length(look), 1.0f, 1e-5f) << message;
        ASSERT_NEAR(Length(right), 1.0f, 1e-5f) << message;
        ASSERT_NEAR(Length(up), 1.0f, 1e-5f) << message;
        ASSERT_NEAR(Dot(look, right), 0.0f, 1e-5f) << message;
        ASSERT_NEAR(Dot(look, up), 0.0f, 1e-5f) << message;
        ASSERT_NEAR(Dot(right, up), 0.0f, 1e-5f) << message;
        ASSERT_GT(Dot(Cross(up, look), right), 0.99f) << message;
    }
}

}  // namespace
