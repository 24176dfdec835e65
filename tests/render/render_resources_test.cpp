#include "render/render_resources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/fakes/recording_device.h"

namespace {

class DeviceObjects : public ::testing::Test {
  protected:
    RecordingDirect3D d3d;
    ScreenMetrics screen{1920, 1080, 960, 540};
    HWND window = reinterpret_cast<HWND>(0x1234);

    void SetUp() override {
        gRender = RenderResources{};
        gFakeDirect3D = &d3d;
    }
    void TearDown() override { gFakeDirect3D = nullptr; }
};

TEST_F(DeviceObjects, AskForAWindowedHardwareDeviceWithAFullScreenDepthSurface) {
    ASSERT_TRUE(CreateDeviceObjects(window, screen));
    EXPECT_EQ(gDirect3DCreateVersion, 32u);
    EXPECT_EQ(d3d.adapter, 0u);
    EXPECT_EQ(d3d.deviceType, D3DDEVTYPE_HAL);
    EXPECT_EQ(d3d.focusWindow, window);
    EXPECT_EQ(d3d.behaviourFlags, 0x40u);

    D3DPRESENT_PARAMETERS expected;
    std::memset(&expected, 0, sizeof expected);
    expected.BackBufferFormat = D3DFMT_A8R8G8B8;
    expected.SwapEffect = D3DSWAPEFFECT_DISCARD;
    expected.Windowed = TRUE;
    expected.EnableAutoDepthStencil = TRUE;
    expected.AutoDepthStencilFormat = D3DFMT_D16;
    EXPECT_EQ(std::memcmp(&d3d.presentParameters, &expected, sizeof expected), 0);

    RecordingDevice& device = d3d.device;
    ASSERT_EQ(device.surfaces.size(), 1u);
    const RecordingSurface& depth = *device.surfaces[0];
    EXPECT_EQ(depth.width, 1920u);
    EXPECT_EQ(depth.height, 1080u);
    EXPECT_EQ(depth.format, D3DFMT_D16);
    EXPECT_EQ(depth.multiSample, D3DMULTISAMPLE_NONE);
    EXPECT_EQ(depth.quality, 0u);
    EXPECT_EQ(depth.discard, TRUE);
    EXPECT_EQ(device.depthStencil, &depth);
    EXPECT_EQ(gRender.depthSurface, &depth);
    EXPECT_EQ(gRender.device, &device);
    EXPECT_EQ(gRender.d3d, &d3d);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"Direct3DCreate9(32)", "CreateDevice(0, 1, 64)",
                                                      "CreateDepthStencilSurface(1920, 1080, 80, 0, 0, 1)",
                                                      "SetDepthStencilSurface()", "SetRenderState(7, 1)"}));
}

TEST_F(DeviceObjects, WithoutADepthSurfaceTheStartUpGoesOnWithNone) {
    d3d.device.createDepthStencilResult = D3DERR_OUTOFVIDEOMEMORY;
    EXPECT_TRUE(CreateDeviceObjects(window, screen));
    EXPECT_EQ(gRender.depthSurface, nullptr);
    EXPECT_EQ(d3d.device.depthStencil, nullptr);
    EXPECT_EQ(d3d.device.renderStates[D3DRS_ZENABLE], 1u);
}

TEST_F(DeviceObjects, FailWhenDirect3DOrTheDeviceCannotBeHad) {
    gFakeDirect3D = nullptr;
    EXPECT_FALSE(CreateDeviceObjects(window, screen));

    gFakeDirect3D = &d3d;
    d3d.createDeviceResult = D3DERR_NOTAVAILABLE;
    EXPECT_FALSE(CreateDeviceObjects(window, screen));
    EXPECT_EQ(gRender.device, nullptr);
    EXPECT_TRUE(d3d.device.surfaces.empty());
}

class SceneResources : public ::testing::Test {
  protected:
    RecordingDevice device;
    SceneData scene;
    ScreenMetrics screen{1600, 900, 800, 450};

    void SetUp() override {
        gRender = RenderResources{};
        gRender.device = &device;
        scene.triangleCount = 2;
        scene.indexCount = 6;
        scene.indices = {0, 1, 2, 0, 2, 3};
        scene.faces.assign(2, FaceRecord{});
        scene.vertexCount = 4;
        scene.vertices = {{-1, -1, 0, 0, 0, -1, 0, 1},
                          {-1, 1, 0, 0, 0, -1, 0, 0},
                          {1, 1, 0, 0, 0, -1, 1, 0},
                          {1, -1, 0, 0, 0, -1, 1, 1}};
    }
};

TEST_F(SceneResources, CopyIndicesAndVerticesToWriteOnlyDefaultPoolBuffersAndFreeThem) {
    const SceneArray<std::int32_t> indices = scene.indices;
    const SceneArray<Vertex> vertices = scene.vertices;
    ASSERT_TRUE(CreateSceneResources(scene, screen));

    ASSERT_EQ(device.indexBuffers.size(), 1u);
    const RecordingIndexBuffer& ib = *device.indexBuffers[0];
    EXPECT_EQ(ib.length, 24u);
    EXPECT_EQ(ib.usage, 8u);
    EXPECT_EQ(ib.format, D3DFMT_INDEX32);
    EXPECT_EQ(ib.pool, D3DPOOL_DEFAULT);
    EXPECT_EQ(ib.lockedOffset, 0u);
    EXPECT_EQ(ib.lockedSize, 24u);
    EXPECT_EQ(ib.lockFlags, 0u);
    EXPECT_EQ(ib.unlockCount, 1);
    EXPECT_EQ(std::memcmp(ib.bytes.data(), indices.data(), 24), 0);

    ASSERT_EQ(device.vertexBuffers.size(), 1u);
    const RecordingVertexBuffer& vb = *device.vertexBuffers[0];
    EXPECT_EQ(vb.length, 128u);
    EXPECT_EQ(vb.usage, 0u);
    EXPECT_EQ(vb.fvf, 0x112u);
    EXPECT_EQ(vb.pool, D3DPOOL_DEFAULT);
    EXPECT_EQ(vb.lockedSize, 128u);
    EXPECT_EQ(vb.unlockCount, 1);
    EXPECT_EQ(std::memcmp(vb.bytes.data(), vertices.data(), 128), 0);

    EXPECT_TRUE(scene.indices.empty());
    EXPECT_EQ(scene.indices.capacity(), 0u);
    EXPECT_TRUE(scene.vertices.empty());
    EXPECT_EQ(scene.vertices.capacity(), 0u);
    EXPECT_EQ(scene.indexCount, 6);
    EXPECT_EQ(scene.vertexCount, 4);
    EXPECT_EQ(device.streamSource, &vb);
    EXPECT_EQ(device.indices, &ib);
}

TEST_F(SceneResources, SetTheMaterialTheLightAndTheFixedTransforms) {
    ASSERT_TRUE(CreateSceneResources(scene, screen));
    EXPECT_EQ(device.calls, (std::vector<std::string>{
                                "CreateIndexBuffer(24, 8, 102, 0)", "CreateVertexBuffer(128, 0, 274, 0)",
                                "SetStreamSource(0, 0, 32)", "SetIndices()", "SetFVF(274)", "SetMaterial()",
                                "SetLight(0)", "LightEnable(0, 1)", "SetRenderState(137, 1)",
                                "SetRenderState(139, 4210752)", "SetTransform(256)", "SetTransform(3)"}));

    ASSERT_EQ(device.materials.size(), 1u);
    D3DMATERIAL9 material;
    std::memset(&material, 0, sizeof material);
    material.Diffuse = material.Ambient = {1, 1, 1, 1};
    EXPECT_EQ(std::memcmp(&device.materials[0], &material, sizeof material), 0);

    ASSERT_EQ(device.lights.size(), 1u);
    D3DLIGHT9 light;
    std::memset(&light, 0, sizeof light);
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 0};
    EXPECT_EQ(std::memcmp(&device.lights[0], &light, sizeof light), 0);

    Matrix4 identity;
    D3DXMatrixTranslation(&identity, 0, 0, 0);
    Matrix4 projection;
    D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 1600.0f / 900.0f, 0.1f, 100.0f);
    ASSERT_EQ(device.transforms.size(), 2u);
    EXPECT_EQ(device.transforms[0].state, D3DTS_WORLD);
    EXPECT_EQ(std::memcmp(&device.transforms[0].matrix, &identity, sizeof identity), 0);
    EXPECT_EQ(device.transforms[1].state, D3DTS_PROJECTION);
    EXPECT_EQ(std::memcmp(&device.transforms[1].matrix, &projection, sizeof projection), 0);
}

TEST_F(SceneResources, StopAtTheFirstBufferThatCannotBeMadeOrLocked) {
    device.createIndexBufferResult = D3DERR_OUTOFVIDEOMEMORY;
    EXPECT_FALSE(CreateSceneResources(scene, screen));
    EXPECT_EQ(device.CallNames(), std::vector<std::string>{"CreateIndexBuffer"});

    RecordingDevice lockFails;
    lockFails.bufferLockResult = D3DERR_INVALIDCALL;
    gRender = RenderResources{};
    gRender.device = &lockFails;
    EXPECT_FALSE(CreateSceneResources(scene, screen));
    EXPECT_EQ(lockFails.CallNames(), std::vector<std::string>{"CreateIndexBuffer"});
    EXPECT_EQ(scene.indices.size(), 6u);

    RecordingDevice vertexFails;
    vertexFails.createVertexBufferResult = D3DERR_OUTOFVIDEOMEMORY;
    gRender = RenderResources{};
    gRender.device = &vertexFails;
    EXPECT_FALSE(CreateSceneResources(scene, screen));
    EXPECT_EQ(vertexFails.CallNames(), (std::vector<std::string>{"CreateIndexBuffer", "CreateVertexBuffer"}));
    EXPECT_EQ(gRender.vertexBuffer, nullptr);
}

TEST_F(SceneResources, RefuseAMapWhoseBuffersWouldPassFourGibibytes) {
    for (const auto& [indexCount, vertexCount] : {std::pair{1'100'000'000, 4}, std::pair{6, 140'000'000}}) {
        scene.indexCount = indexCount;
        scene.vertexCount = vertexCount;
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(CreateSceneResources(scene, screen));
        EXPECT_EQ(::testing::internal::GetCapturedStderr(),
                  "vellmora: the map is too large for Direct3D 9 buffers (4 GiB at most each)\n");
        EXPECT_TRUE(device.CallNames().empty());
    }
}

TEST_F(SceneResources, NoTrianglesAskForAnEmptyIndexBufferAndGoOnIfTheDeviceGrantsIt) {
    scene.triangleCount = 0;
    scene.indexCount = 0;
    scene.indices.clear();
    scene.faces.clear();
    EXPECT_TRUE(CreateSceneResources(scene, screen));
    ASSERT_EQ(device.indexBuffers.size(), 1u);
    EXPECT_EQ(device.indexBuffers[0]->length, 0u);
    // Direct3D 9 itself refuses: the map is named as the reason.
    device.createIndexBufferResult = D3DERR_INVALIDCALL;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(CreateSceneResources(scene, screen));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "map.txt: the map has no triangles (Direct3D 9 cannot make an empty index buffer)\n");
}

TEST(ReleaseAll, ReleasesEachObjectOnceInOrderSkippingEmptyTextureSlots) {
    RecordingDirect3D d3d;
    RecordingDevice& device = d3d.device;
    SceneData scene;
    IDirect3DTexture9* first = nullptr;
    IDirect3DTexture9* third = nullptr;
    device.CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &first, nullptr);
    device.CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &third, nullptr);
    scene.textureCount = 3;
    scene.textures = {first, nullptr, third};
    gRender = RenderResources{};
    gRender.d3d = &d3d;
    gRender.device = &device;
    device.CreateDepthStencilSurface(4, 4, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE, &gRender.depthSurface,
                                     nullptr);
    device.CreateIndexBuffer(12, 8, D3DFMT_INDEX32, D3DPOOL_DEFAULT, &gRender.indexBuffer, nullptr);
    device.CreateVertexBuffer(32, 0, 0x112, D3DPOOL_DEFAULT, &gRender.vertexBuffer, nullptr);
    const std::vector<const void*> expected = {
        first, third, gRender.vertexBuffer, gRender.indexBuffer, gRender.depthSurface, &device, &d3d};

    ReleaseAll(scene);
    EXPECT_EQ(device.releaseLog, expected);

    ReleaseAll(scene);
    EXPECT_EQ(device.releaseLog.size(), expected.size()) << "a second shutdown releases nothing again";
}

TEST(ReleaseAll, SkipsObjectsThatWereNeverMade) {
    RecordingDirect3D d3d;
    SceneData scene;
    gRender = RenderResources{};
    gRender.d3d = &d3d;
    ReleaseAll(scene);
    EXPECT_EQ(d3d.device.releaseLog, std::vector<const void*>{&d3d});
}

}  // namespace
