// The recovery of a lost device, asked for by the main loop while gRender.lost is set.
#include "render/device_recovery.h"

#include "platform/report.h"
#include "render/render_resources.h"
#include "render/scene_reload.h"
#include "scene/map_file.h"

namespace {

Recovery Impossible(const char* step, HRESULT result) {
    ReportLine("vellmora: the lost Direct3D device cannot be restored: %s failed (0x%08lX)", step,
               static_cast<unsigned long>(static_cast<DWORD>(result)));
    return Recovery::kImpossible;
}

// The scene made from the map as it is now, through the same code as a reload; textures whose
// files have not changed survive a reset and are kept.
Recovery MakeSceneAgain() {
    const RebuildResult rebuilt = RebuildScene(ReadTheMap());
    switch (rebuilt.result) {
        case Rebuild::kDone:
            return Recovery::kRestored;
        case Rebuild::kDeviceLost:
            // Lost again since the reset: the next check starts over from the release.
            return Recovery::kStillLost;
        case Rebuild::kRefused:
            ReportLine("%s", rebuilt.refusal.c_str());
            return Recovery::kImpossible;
        case Rebuild::kFailed:
            break;
    }
    return Impossible(rebuilt.step.failed, rebuilt.step.result);
}

}  // namespace

Recovery RestoreLostDevice(const ScreenMetrics& screen) {
    IDirect3DDevice9* device = gRender.device;
    const HRESULT level = device->TestCooperativeLevel();
    if (level == D3DERR_DEVICELOST) {
        return Recovery::kStillLost;
    }
    if (level == D3D_OK && gRender.vertexBuffer != nullptr) {
        // It was never really lost, and nothing is released yet: everything made so far holds.
        gRender.lost = false;
        return Recovery::kRestored;
    }
    // Working again after a reset that found it lost once more still needs the reset.
    if (level != D3D_OK && level != D3DERR_DEVICENOTRESET) {
        return Impossible("TestCooperativeLevel", level);
    }

    // A reset refuses while any default-pool object is alive.
    ReleaseDefaultPool();
    D3DPRESENT_PARAMETERS parameters = gRender.presentation;
    const HRESULT reset = device->Reset(&parameters);
    if (reset == D3DERR_DEVICELOST) {
        return Recovery::kStillLost;
    }
    if (FAILED(reset)) {
        return Impossible("Reset", reset);
    }

    CreateDepthSurface(screen);
    const Recovery refilled = MakeSceneAgain();
    if (refilled != Recovery::kRestored) {
        return refilled;
    }
    SetSceneState(screen);
    gRender.lost = false;
    return Recovery::kRestored;
}
