#include "render/render_frame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "camera/camera.h"
#include "camera/input_state.h"
#include "render/render_resources.h"
#include "tests/fakes/recording_device.h"

namespace {

class Frame : public ::testing::Test {
  protected:
    RecordingDevice device;
    IDirect3DTexture9* stone = nullptr;
    IDirect3DTexture9* grass = nullptr;

    void SetUp() override {
        gRender = RenderResources{};
        gRender.device = &device;
        gInput = InputState{};
        InitCamera(Vec3{0, 0, -5});
        device.CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &stone, nullptr);
        device.CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &grass, nullptr);
        gScene = SceneData{};
        gScene.vertexCount = 7;
        gScene.textureCount = 2;
        gScene.textures = {stone, grass};
        device.calls.clear();
    }

    void UseTextureNumbers(const std::vector<std::int32_t>& numbers) {
        gScene.triangleCount = static_cast<std::int32_t>(numbers.size());
        gScene.indexCount = 3 * gScene.triangleCount;
        gScene.faces.clear();
        for (std::int32_t number : numbers) {
            gScene.faces.push_back({Vec3{0, 0, -1}, number});
        }
        FindTextureRuns(gScene);  // as a load does
    }
};

TEST_F(Frame, DrawsOneRunPerStretchOfEqualTextureInFileOrder) {
    UseTextureNumbers({0, 0, 1, 1, 0});
    RenderFrame();

    ASSERT_EQ(device.draws.size(), 3u);
    const UINT starts[] = {0, 6, 12};
    const UINT counts[] = {2, 2, 1};
    IDirect3DTexture9* textures[] = {stone, grass, stone};
    for (std::size_t run = 0; run < 3; ++run) {
        SCOPED_TRACE(run);
        const DrawRecord& draw = device.draws[run];
        EXPECT_EQ(draw.type, D3DPT_TRIANGLELIST);
        EXPECT_EQ(draw.baseVertexIndex, 0);
        EXPECT_EQ(draw.minVertexIndex, 0u);
        EXPECT_EQ(draw.numVertices, 7u);
        EXPECT_EQ(draw.startIndex, starts[run]);
        EXPECT_EQ(draw.primitiveCount, counts[run]);
        EXPECT_EQ(draw.texture, textures[run]);
    }
    // Only the light and the view change per frame; one texture change per run.
    EXPECT_EQ(device.calls, (std::vector<std::string>{
                                "SetLight(0)", "SetTransform(2)", "Clear(0, 3, 0, 1.000000, 0)",
                                "BeginScene()", "SetTexture(0)", "DrawIndexedPrimitive(4, 0, 0, 7, 0, 2)",
                                "SetTexture(0)", "DrawIndexedPrimitive(4, 0, 0, 7, 6, 2)", "SetTexture(0)",
                                "DrawIndexedPrimitive(4, 0, 0, 7, 12, 1)", "EndScene()", "Present()"}));
    ASSERT_EQ(device.clears.size(), 1u);
    EXPECT_FALSE(device.clears[0].rects);
    EXPECT_FALSE(device.presentHadArguments);
}

TEST_F(Frame, WithNoTrianglesOnlyClearsAndPresents) {
    UseTextureNumbers({});
    RenderFrame();
    EXPECT_EQ(device.CallNames(), (std::vector<std::string>{"SetLight", "SetTransform", "Clear", "BeginScene",
                                                            "EndScene", "Present"}));
}

TEST_F(Frame, HeadlightAndViewFollowTheCameraAfterItsMove) {
    UseTextureNumbers({0});
    gCamera.look = Vec3{0.0f, 0.0f, 2.0f};  // not unit length: the light gets a normalised copy
    gInput.keys[0x57] = 1;
    RenderFrame();

    const Vec3 moved{0.0f, 0.0f, -4.8f};
    EXPECT_EQ(gCamera.position, moved);
    EXPECT_EQ(gCamera.look, (Vec3{0.0f, 0.0f, 2.0f}));
    ASSERT_EQ(device.lights.size(), 1u);
    const D3DLIGHT9& light = device.lights[0];
    EXPECT_EQ(light.Position.z, -4.8f);
    EXPECT_EQ(light.Direction.x, 0.0f);
    EXPECT_EQ(light.Direction.y, 0.0f);
    EXPECT_EQ(light.Direction.z, 1.0f);

    Matrix4 expected;
    const Vec3 at = moved + Vec3{0.0f, 0.0f, 2.0f};
    const Vec3 up{0.0f, 1.0f, 0.0f};
    D3DXMatrixLookAtLH(&expected, &moved, &at, &up);
    ASSERT_EQ(device.transforms.size(), 1u);
    EXPECT_EQ(device.transforms[0].state, D3DTS_VIEW);
    EXPECT_EQ(std::memcmp(&device.transforms[0].matrix, &expected, sizeof expected), 0);
    EXPECT_EQ(device.transforms[0].matrix.m[3][2], 4.8f);
}

TEST_F(Frame, LookingStraightUpUsesTheCamerasOwnUp) {
    UseTextureNumbers({0});
    gCamera.look = Vec3{0, 1, 0};
    gCamera.up = Vec3{0, 0, -1};
    RenderFrame();
    ASSERT_EQ(device.transforms.size(), 1u);
    for (const auto& row : device.transforms[0].matrix.m) {
        for (float value : row) {
            EXPECT_TRUE(std::isfinite(value));
        }
    }
    // The view's x axis is the camera's up × look = (1, 0, 0); world up would give a zero axis.
    EXPECT_EQ(device.transforms[0].matrix.m[0][0], 1.0f);
    EXPECT_EQ(device.lights[0].Direction.y, 1.0f);
}

TEST_F(Frame, EmptyOrUnknownTextureSlotsDrawTheirRunsUntextured) {
    gScene.textures[1] = nullptr;
    UseTextureNumbers({1, 2, -1, 0});
    RenderFrame();
    ASSERT_EQ(device.draws.size(), 4u);
    EXPECT_EQ(device.draws[0].texture, nullptr);
    EXPECT_EQ(device.draws[1].texture, nullptr);
    EXPECT_EQ(device.draws[2].texture, nullptr);
    EXPECT_EQ(device.draws[3].texture, stone);
}

TEST_F(Frame, APresentThatFindsTheDeviceLostSaysSo) {
    UseTextureNumbers({0});
    device.presentResult = D3DERR_INVALIDCALL;
    RenderFrame();
    EXPECT_FALSE(gRender.lost);
    device.presentResult = D3DERR_DEVICELOST;
    RenderFrame();
    EXPECT_TRUE(gRender.lost);
}

}  // namespace
