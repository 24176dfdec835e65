// The recovery of a lost device, asked for by the main loop while gRender.lost is set.
#include "render/device_recovery.h"

#include "platform/report.h"
#include "render/map_load.h"
#include "render/render_resources.h"
#include "scene/map_file.h"
#include "scene/normals.h"

namespace {

Recovery Impossible(const char* step, HRESULT result) {
    ReportLine("vellmora: the lost Direct3D device cannot be restored: %s failed (0x%08lX)", step,
               static_cast<unsigned long>(static_cast<DWORD>(result)));
    return Recovery::kImpossible;
}

// The buffers as the start-up filled them: the map's geometry read again, with its normals. A map
// that no longer fits the draws made for it cannot restore them.
Recovery MakeSceneBuffersAgain() {
    SceneData again;
    if (!LoadMap(nullptr, again)) {
        return Recovery::kImpossible;  // its line says why
    }
    if (again.triangleCount != gScene.triangleCount || again.vertexCount != gScene.vertexCount) {
        ReportLine("vellmora: the lost Direct3D device cannot be restored: %s has changed since the start-up",
                   kMapFileName);
        return Recovery::kImpossible;
    }
    GenerateNormals(again);
    DeviceStep step = MakeIndexBuffer(again);
    if (step.failed == nullptr) {
        step = MakeVertexBuffer(again);
    }
    if (step.result == D3DERR_DEVICELOST) {
        // Lost again since the reset: the next check starts over from the release.
        return Recovery::kStillLost;
    }
    return step.failed != nullptr ? Impossible(step.failed, step.result) : Recovery::kRestored;
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
    const Recovery refilled = MakeSceneBuffersAgain();
    if (refilled != Recovery::kRestored) {
        return refilled;
    }
    SetSceneState(screen);
    gRender.lost = false;
    return Recovery::kRestored;
}
