#include "render/device_recovery.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "camera/camera.h"
#include "camera/input_state.h"
#include "platform/map_tool_hint.h"
#include "render/map_load.h"
#include "render/render_frame.h"
#include "render/render_resources.h"
#include "scene/map_file.h"
#include "scene/normals.h"
#include "tests/fakes/recording_device.h"

namespace {

namespace fs = std::filesystem;

// A device made as the start-up makes it, one frame drawn, then lost at the next Present.
class LostDevice : public ::testing::Test {
  protected:
    RecordingDirect3D d3d;
    RecordingDevice& device = d3d.device;
    ScreenMetrics screen{1600, 900, 800, 450};
    std::vector<std::string> startUpCalls;  // the start-up's calls after CreateDevice
    fs::path dir = fs::temp_directory_path() / ("vellmora_lost_" + std::to_string(::getpid()));
    fs::path startDir = fs::current_path();

    // The buffers' contents come from the map file, at the start-up and again after a reset.
    void WriteMap(int triangles, int moreVertices = 0) {
        std::ofstream map(dir / "map.txt");
        map << "0 0 -5\n" << triangles << "\n";
        for (int t = 0; t < triangles; ++t) map << "0 " << 1 + t % 2 << " " << 2 + t % 2 << " 0\n";
        map << 4 + moreVertices << "\n-1 -1 0 0 1\n-1 1 0 0 0\n1 1 0 1 0\n1 -1 0 1 1\n";
        for (int v = 0; v < moreVertices; ++v) map << "2 2 0 0 0\n";
        map << "1\n%%\n";
    }

    void SetUp() override {
        fs::create_directories(dir);
        fs::current_path(dir);
        WriteMap(2);
        gRender = RenderResources{};
        gFakeDirect3D = &d3d;
        gInput = InputState{};
        InitCamera(Vec3{0, 0, -5});
        gScene = SceneData{};
        TextureCache cache;
        ASSERT_TRUE(LoadMap(nullptr, gScene, ReadTheMap(), cache));
        GenerateNormals(gScene);
        ASSERT_TRUE(CreateDeviceObjects(reinterpret_cast<HWND>(0x10), screen));
        ASSERT_TRUE(CreateSceneResources(gScene, screen));
        startUpCalls.assign(device.calls.begin() + 2, device.calls.end());
        RenderFrame();
        device.presentResult = D3DERR_DEVICELOST;
        RenderFrame();
        ASSERT_TRUE(gRender.lost);
        gCamera.look = Vec3{1, 0, 0};  // the camera turned while the picture was lost
        device.calls.clear();
        device.lights.clear();
    }
    void ExpectTheEnd(const std::string& line) {
        device.cooperativeLevels = {D3DERR_DEVICENOTRESET};
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(RestoreLostDevice(screen), Recovery::kImpossible);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), line);
    }

    void TearDown() override {
        gFakeDirect3D = nullptr;
        fs::current_path(startDir);
        fs::remove_all(dir);
    }
};

TEST_F(LostDevice, WaitsWhileLostThenReleasesResetsAndMakesAndSetsEverythingAgain) {
    device.cooperativeLevels = {D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET};
    EXPECT_EQ(RestoreLostDevice(screen), Recovery::kStillLost);
    EXPECT_EQ(device.calls, std::vector<std::string>{"TestCooperativeLevel()"});
    EXPECT_TRUE(device.releaseLog.empty());

    IDirect3DVertexBuffer9* oldVertices = gRender.vertexBuffer;
    IDirect3DIndexBuffer9* oldIndices = gRender.indexBuffer;
    IDirect3DSurface9* oldDepth = gRender.depthSurface;
    device.calls.clear();
    ASSERT_EQ(RestoreLostDevice(screen), Recovery::kRestored);
    EXPECT_FALSE(gRender.lost);
    // The fake's Reset refuses while a default-pool object lives: the release came first.
    EXPECT_EQ(device.releaseLog, (std::vector<const void*>{oldVertices, oldIndices, oldDepth}));
    std::vector<std::string> expected = {"TestCooperativeLevel()", "Reset()"};
    expected.insert(expected.end(), startUpCalls.begin(), startUpCalls.end());
    EXPECT_EQ(device.calls, expected);
    ASSERT_EQ(device.resets.size(), 1u);
    EXPECT_EQ(std::memcmp(&device.resets[0], &d3d.presentParameters, sizeof d3d.presentParameters), 0);

    // The new buffers hold what the first ones did, and they and the new depth surface are set.
    ASSERT_EQ(device.vertexBuffers.size(), 2u);
    ASSERT_EQ(device.indexBuffers.size(), 2u);
    EXPECT_EQ(device.vertexBuffers[1]->bytes, device.vertexBuffers[0]->bytes);
    EXPECT_EQ(device.indexBuffers[1]->bytes, device.indexBuffers[0]->bytes);
    EXPECT_EQ(device.streamSource, device.vertexBuffers[1].get());
    EXPECT_EQ(device.indices, device.indexBuffers[1].get());
    EXPECT_EQ(device.depthStencil, device.surfaces[1].get());
    // The light comes back as the last frame aimed it; the next frame aims it where the camera is now.
    ASSERT_EQ(device.lights.size(), 1u);
    EXPECT_EQ(device.lights[0].Direction.z, 1.0f);

    device.calls.clear();
    RenderFrame();
    EXPECT_EQ(device.lights.back().Direction.x, 1.0f);
    EXPECT_EQ(device.CallNames().back(), "Present");
    EXPECT_FALSE(gRender.lost);
}

TEST_F(LostDevice, AResetLostAgainWaitsAndAnyOtherFailureIsOneLineAndTheEnd) {
    device.cooperativeLevels = {D3DERR_DEVICENOTRESET, D3D_OK};
    device.resetResult = D3DERR_DEVICELOST;
    EXPECT_EQ(RestoreLostDevice(screen), Recovery::kStillLost);
    device.resetResult = D3D_OK;
    EXPECT_EQ(RestoreLostDevice(screen), Recovery::kRestored) << "released once, so reset even when working";
    EXPECT_EQ(device.resets.size(), 2u);
    EXPECT_EQ(device.releaseLog.size(), 3u) << "each object is released once";

    struct Case {
        HRESULT level, reset, createVertexBuffer;
        const char* named;
    };
    for (const Case& c :
         {Case{D3DERR_DRIVERINTERNALERROR, D3D_OK, D3D_OK, "TestCooperativeLevel failed (0x88760827)"},
          Case{D3DERR_DEVICENOTRESET, D3DERR_NOTAVAILABLE, D3D_OK, "Reset failed (0x8876086A)"},
          Case{D3DERR_DEVICENOTRESET, D3D_OK, D3DERR_OUTOFVIDEOMEMORY,
               "CreateVertexBuffer failed (0x8876017C)"}}) {
        SCOPED_TRACE(c.named);
        gRender.lost = true;
        device.cooperativeLevels = {c.level};
        device.resetResult = c.reset;
        device.createVertexBufferResult = c.createVertexBuffer;
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(RestoreLostDevice(screen), Recovery::kImpossible);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(),
                  std::string("vellmora: the lost Direct3D device cannot be restored: ") + c.named + "\n");
        EXPECT_TRUE(gRender.lost);
    }
    // The map read again for the buffers must be there.
    device.createVertexBufferResult = D3D_OK;
    fs::remove(dir / "map.txt");
    ExpectTheEnd("map.txt: cannot open the map file: not found (in " + fs::current_path().string() + ")" +
                 MapToolHint() + "\n");
}

TEST_F(LostDevice, ComesBackWithTheMapAsItIsNowEvenWhenLostAgainWhileItsBuffersAreMade) {
    WriteMap(2, 3);  // as many triangles, more vertices
    device.cooperativeLevels = {D3DERR_DEVICENOTRESET, D3DERR_DEVICENOTRESET};
    device.createVertexBufferResult = D3DERR_DEVICELOST;
    EXPECT_EQ(RestoreLostDevice(screen), Recovery::kStillLost);
    device.createVertexBufferResult = D3D_OK;
    EXPECT_EQ(RestoreLostDevice(screen), Recovery::kRestored);
    EXPECT_EQ(device.vertexBuffers.back()->bytes.size(), 7 * sizeof(Vertex));
    RenderFrame();
    ASSERT_FALSE(device.draws.empty());
    EXPECT_EQ(device.draws.back().numVertices, 7u) << "drawn against the new buffer's vertices";

    WriteMap(5);
    device.presentResult = D3DERR_DEVICELOST;
    RenderFrame();
    device.presentResult = D3D_OK;
    device.cooperativeLevels = {D3DERR_DEVICENOTRESET};
    device.draws.clear();
    EXPECT_EQ(RestoreLostDevice(screen), Recovery::kRestored);
    RenderFrame();
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(device.draws[0].primitiveCount, 5u) << "the triangles the map gained while lost";
}

TEST_F(LostDevice, ThatWasNotLostAfterAllDrawsOnWithoutAReset) {
    EXPECT_EQ(RestoreLostDevice(screen), Recovery::kRestored);
    EXPECT_EQ(device.calls, std::vector<std::string>{"TestCooperativeLevel()"});
    EXPECT_TRUE(device.releaseLog.empty());
}

}  // namespace
