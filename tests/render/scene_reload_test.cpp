#include "render/scene_reload.h"

#include <stb_image_write.h>

#include <algorithm>
#include <string>

#include "camera/camera.h"
#include "camera/input_state.h"
#include "render/map_load.h"
#include "render/render_frame.h"
#include "scene/map_file.h"
#include "scene/normals.h"
#include "tests/fakes/recording_device.h"
#include "tests/scene/map_file_fixture.h"

namespace {

// Two squares' worth of triangles, one textured with a.bmp and one with b.bmp.
std::string Map(int triangles, int vertices, const char* start = "0 0 -5") {
    std::string map = std::string(start) + "\n" + std::to_string(triangles) + "\n";
    for (int t = 0; t < triangles; ++t) map += "0 1 2 " + std::to_string(t % 2) + "\n";
    map += std::to_string(vertices) + "\n";
    for (int v = 0; v < vertices; ++v)
        map += std::to_string(v % 2) + " " + std::to_string(v / 2) + " 0 0 0\n";
    return map + "2\n%a.bmp%\n%b.bmp%\n";
}

void WriteImage(const char* name, int size) {
    const unsigned char pixels[16] = {};
    ASSERT_TRUE(stbi_write_bmp(name, size, size, 4, pixels));
}

// The scene made as the start-up makes it, then followed.
class Reload : public MapFileTest {
  protected:
    RecordingDirect3D d3d;
    RecordingDevice& device = d3d.device;
    ScreenMetrics screen{1600, 900, 800, 450};

    void SetUp() override {
        MapFileTest::SetUp();
        Write("map.txt", Map(2, 3));
        WriteImage("a.bmp", 1);
        WriteImage("b.bmp", 1);
        gRender = RenderResources{};
        gScene = SceneData{};
        gSource = SceneSource{};
        gFakeDirect3D = &d3d;
        gInput = InputState{};
        ASSERT_TRUE(CreateDeviceObjects(reinterpret_cast<HWND>(0x10), screen));
        MapRead read = ReadTheMap();
        const WatchedFile map = read.source;
        TextureCache cache;
        ASSERT_TRUE(LoadMap(gRender.device, gScene, std::move(read), cache));
        KeepSceneSource(map, cache);
        InitCamera(gScene.startPosition);
        GenerateNormals(gScene);
        ASSERT_TRUE(CreateSceneResources(gScene, screen));
        device.calls.clear();
    }
    void TearDown() override {
        gFakeDirect3D = nullptr;
        MapFileTest::TearDown();
    }

    // One timer's check; what it wrote to stderr.
    static std::string Check() {
        ::testing::internal::CaptureStderr();
        FollowSceneFiles();
        return ::testing::internal::GetCapturedStderr();
    }
};

TEST_F(Reload, AChangeIsShownOnceSettledWithTheNewSceneMadeBeforeTheOldIsReleased) {
    IDirect3DTexture9* a = gScene.textures[0];
    IDirect3DTexture9* oldB = gScene.textures[1];
    const std::vector<const void*> oldBuffers = {gRender.vertexBuffer, gRender.indexBuffer};
    WriteImage("b.bmp", 2);
    EXPECT_EQ(Check(), "") << "first seen changed: the writer may not be done";
    EXPECT_TRUE(device.calls.empty());
    EXPECT_EQ(Check(), "b.bmp: reloaded\n");
    EXPECT_EQ(device.textures.size(), 3u) << "only the changed image is made again";
    EXPECT_EQ(gScene.textures[0], a);
    EXPECT_NE(gScene.textures[1], oldB);
    EXPECT_EQ(device.releaseLog, (std::vector<const void*>{oldBuffers[0], oldBuffers[1], a, oldB}));
    EXPECT_EQ(device.streamSource, gRender.vertexBuffer);
    EXPECT_EQ(device.indices, gRender.indexBuffer);

    // More vertices, another start: drawn against the new buffer, from where the camera is.
    gCamera.position = Vec3{1, 2, 3};
    Write("map.txt", Map(4, 6, "9 9 9"));
    Check();
    EXPECT_EQ(Check(), "map.txt: reloaded: 4 triangles, 2 textures\n");
    device.draws.clear();
    RenderFrame();
    ASSERT_EQ(device.draws.size(), 4u);
    EXPECT_EQ(device.draws[3].numVertices, 6u);
    EXPECT_EQ(device.vertexBuffers.back()->bytes.size(), 6 * sizeof(Vertex));
    EXPECT_EQ(gCamera.position, (Vec3{1, 2, 3}));
    EXPECT_EQ(Check(), "") << "reloaded once";
}

TEST_F(Reload, ARefusedOrFailedReloadSaysSoOnceAndReleasesNothingOfTheSceneDrawn) {
    const std::vector<const void*> buffers = {gRender.vertexBuffer, gRender.indexBuffer};
    Write("map.txt", "0 0 -5\n1\n0 1 9 0\n");
    Check();
    EXPECT_EQ(Check(),
              "map.txt:4: expected the vertex count, found end of file (still showing the previous map)\n");
    EXPECT_EQ(Check(), "");
    EXPECT_TRUE(device.calls.empty());

    gRender.lost = true;
    Write("map.txt", Map(2, 4));
    Check();
    EXPECT_EQ(Check(), "") << "the device's recovery reads the files";
    gRender.lost = false;

    device.createVertexBufferResult = D3DERR_OUTOFVIDEOMEMORY;
    Check();
    EXPECT_EQ(Check(),
              "vellmora: map.txt cannot be reloaded: CreateVertexBuffer failed (0x8876017C) "
              "(still showing the previous map)\n");
    for (const void* buffer : buffers) {
        EXPECT_EQ(std::count(device.releaseLog.begin(), device.releaseLog.end(), buffer), 0);
    }
    for (const auto& texture : device.textures) {
        EXPECT_EQ(texture->releaseCount, texture->addRefCount) << "each texture keeps the reference it had";
    }
    EXPECT_EQ(device.streamSource, buffers[0]);
}

}  // namespace
