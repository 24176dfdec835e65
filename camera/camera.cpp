// The camera record and its keyboard movement: a fixed step per frame along the camera's own axes.
#include "camera/camera.h"

namespace {

constexpr int kKeyW = 0x57;
constexpr int kKeyS = 0x53;
constexpr int kKeyD = 0x44;
constexpr int kKeyA = 0x41;
constexpr int kKeySpace = VK_SPACE;
constexpr int kKeyE = 0x45;

float Amount(const std::uint8_t* keys, int plus, int minus) {
    return static_cast<float>(keys[plus] - keys[minus]) * kMoveStep;
}

}  // namespace

CameraState gCamera;

void InitCamera(const Vec3& startPosition) {
    gCamera.position = startPosition;
    gCamera.look = {0.0f, 0.0f, 1.0f};
    gCamera.right = {1.0f, 0.0f, 0.0f};
    gCamera.up = {0.0f, 1.0f, 0.0f};
    gCamera.worldUp = {0.0f, 1.0f, 0.0f};
}

void ApplyMovement(CameraState& camera, const std::uint8_t* keys) {
    const float forward = Amount(keys, kKeyW, kKeyS);
    const float strafe = Amount(keys, kKeyD, kKeyA);
    const float rise = Amount(keys, kKeySpace, kKeyE);
    // Added one axis at a time so each sum rounds to float on its own; diagonals are not normalised.
    camera.position = camera.position + camera.look * forward;
    camera.position = camera.position + camera.right * strafe;
    camera.position = camera.position + camera.up * rise;
}
