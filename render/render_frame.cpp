// One frame: move the camera, aim the headlight along the view, draw the mesh in runs of equal
// texture, present, and note a lost device.
#include "render/render_frame.h"

#include "camera/camera.h"
#include "camera/input_state.h"
#include "render/render_resources.h"
#include "scene/scene_data.h"

namespace {

// A texture number outside the table draws its run untextured rather than reading past it.
IDirect3DTexture9* TextureOf(const SceneData& scene, std::int32_t textureIndex) {
    if (textureIndex < 0 || textureIndex >= static_cast<std::int32_t>(scene.textures.size())) {
        return nullptr;
    }
    return scene.textures[static_cast<std::size_t>(textureIndex)];
}

void DrawRuns(IDirect3DDevice9* device, const SceneData& scene) {
    for (const TextureRun& run : scene.runs) {
        device->SetTexture(0, TextureOf(scene, run.textureIndex));
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, static_cast<UINT>(scene.vertexCount),
                                     static_cast<UINT>(3 * run.firstTriangle),
                                     static_cast<UINT>(run.triangles));
    }
}

}  // namespace

void RenderFrame() {
    IDirect3DDevice9* device = gRender.device;
    ApplyMovement(gCamera, gInput.keys);

    gRender.light.Position = gCamera.position;
    Vec3 direction = gCamera.look;
    D3DXVec3Normalize(&direction, &direction);
    gRender.light.Direction = direction;
    device->SetLight(0, &gRender.light);

    const Vec3 at = gCamera.position + gCamera.look;
    D3DXMatrixLookAtLH(&gRender.view, &gCamera.position, &at, &gCamera.up);
    device->SetTransform(D3DTS_VIEW, &gRender.view);

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00000000, 1.0f, 0);
    device->BeginScene();
    DrawRuns(device, gScene);
    device->EndScene();
    // Presenting to a lost device would only queue work without end: frames stop until it is restored.
    if (device->Present(nullptr, nullptr, nullptr, nullptr) == D3DERR_DEVICELOST) {
        gRender.lost = true;
    }
}
