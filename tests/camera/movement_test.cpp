#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "camera/camera.h"
#include "camera/input_state.h"
#include "tests/camera/look_by.h"

namespace {

class MovementTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetFakePointer();
        UseScreen(1920, 1080);
        InitInputState();
        InitCamera({1.0f, 2.0f, 3.0f});
    }

    void Frame(std::initializer_list<int> held) {
        std::uint8_t keys[kKeyTableSize] = {};
        for (int code : held) {
            keys[code] = 1;
        }
        ApplyMovement(gCamera, keys);
    }
};

void ExpectNear(const Vec3& actual, const Vec3& expected, float tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST_F(MovementTest, NoKeyOrOppositeKeysLeaveThePositionAlone) {
    LookBy(37, -23);
    const Vec3 start = gCamera.position;
    Frame({});
    Frame({'W', 'S'});
    Frame({'A', 'D'});
    Frame({VK_SPACE, 'E'});
    Frame({'W', 'S', 'A', 'D', VK_SPACE, 'E'});
    EXPECT_EQ(gCamera.position, start);
}

TEST_F(MovementTest, EachKeyStepsAlongItsAxisAndDiagonalsAreNotNormalised) {
    Frame({'W', 'D'});
    EXPECT_EQ(gCamera.position, Vec3(1.0f + 0.1f, 2.0f, 3.0f + 0.1f));
    Frame({'S'});
    Frame({'A'});
    Frame({'E'});
    EXPECT_EQ(gCamera.position, Vec3(1.0f + 0.1f - 0.1f, 2.0f - 0.1f, 3.0f + 0.1f - 0.1f));
}

TEST_F(MovementTest, ForwardFollowsTheViewStraightDown) {
    for (int dy : {-100, -100, -100, -93}) {
        LookBy(0, dy);
    }
    Frame({'W'});
    ExpectNear(gCamera.position, {1.0f, 1.9f, 3.0f}, 1e-3f);
}

TEST_F(MovementTest, SpaceRisesAlongTheCamerasOwnTiltedUp) {
    LookBy(0, 100);
    Frame({VK_SPACE});
    ExpectNear(gCamera.position, {1.0f, 2.0f + 0.1f * std::cos(0.4f), 3.0f - 0.1f * std::sin(0.4f)}, 1e-6f);
}

}  // namespace
