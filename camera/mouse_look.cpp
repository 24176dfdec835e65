// Turns the camera by the pointer's offset from the screen centre, where the pointer is held.
#include "camera/mouse_look.h"

#include <cmath>

#include "camera/camera.h"
#include "camera/input_state.h"
#include "platform/screen_metrics.h"

void ApplyMouseLook() {
    if (!gInput.active || gInput.focusLost) {
        return;
    }
    POINT pointer;
    if (!GetCursorPos(&pointer)) {
        return;
    }
    const LONG dx = pointer.x - gScreen.centreX;
    const LONG dy = gScreen.centreY - pointer.y;
    const float yaw = static_cast<float>(dx) * kMouseRadiansPerPixel;
    const float pitch = static_cast<float>(dy) * kMouseRadiansPerPixel;
    // Only a pointer away from the centre is put back: each put-back brings another WM_MOUSEMOVE,
    // and a queue that never empties keeps a key press waiting behind the moves.
    if (dx != 0 || dy != 0) {
        SetCursorPos(gScreen.centreX, gScreen.centreY);
    }

    const float sy = std::sin(yaw);
    const float cy = std::cos(yaw);
    const float sp = std::sin(pitch);
    const float cp = std::cos(pitch);
    CameraState& camera = gCamera;

    // Yaw about the world's up axis; it also shrinks the vertical parts, so sideways turns bleed off pitch.
    camera.look = Cross(camera.worldUp, camera.look) * sy + camera.look * cy;
    camera.up = Cross(camera.worldUp, camera.up) * sy + camera.up * cy;

    // Pitch as a true rotation in the look/up plane: with a plus sign on up the rebuilt basis would be
    // scaled by cos(2 * pitch) and turn upside down for large single offsets.
    const Vec3 previousLook = camera.look;
    camera.look = previousLook * cp + camera.up * sp;
    camera.up = camera.up * cp - previousLook * sp;

    // Rebuilding from look keeps the three at right angles, so rounding never accumulates.
    camera.right = Cross(camera.up, camera.look);
    camera.up = Cross(camera.look, camera.right);
    D3DXVec3Normalize(&camera.right, &camera.right);
    D3DXVec3Normalize(&camera.look, &camera.look);
    D3DXVec3Normalize(&camera.up, &camera.up);
}
