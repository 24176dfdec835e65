// The recovery of a lost device, asked for by the main loop while gRender.lost is set.
#include "render/device_recovery.h"

#include "platform/report.h"
#include "render/render_resources.h"

namespace {

Recovery Impossible(const char* step, HRESULT result) {
    ReportLine("vellmora: the lost Direct3D device cannot be restored: %s failed (0x%08lX)", step,
               static_cast<unsigned long>(static_cast<DWORD>(result)));
    return Recovery::kImpossible;
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
    DeviceStep step = MakeIndexBuffer(gRender.indices.data(),
                                      static_cast<UINT>(gRender.indices.size() * sizeof(std::int32_t)));
    if (step.failed == nullptr) {
        step = MakeVertexBuffer(gRender.vertices.data(),
                                static_cast<UINT>(gRender.vertices.size() * sizeof(Vertex)));
    }
    if (step.result == D3DERR_DEVICELOST) {
        // Lost again since the reset: the next check starts over from the release.
        return Recovery::kStillLost;
    }
    if (step.failed != nullptr) {
        return Impossible(step.failed, step.result);
    }
    SetSceneState(screen);
    gRender.lost = false;
    return Recovery::kRestored;
}
