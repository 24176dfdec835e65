#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/window_proc.h"
#include "camera/camera.h"
#include "platform/screen_metrics.h"
#include "render/render_resources.h"
#include "scene/scene_data.h"
#include "tests/fakes/fake_pointer.h"
#include "tests/fakes/fake_window.h"
#include "tests/fakes/recording_device.h"

namespace {

namespace fs = std::filesystem;

// One camera-facing square; its texture file does not exist, which does not stop the start-up.
const char kSquareMap[] =
    "0 0 -5\n2\n0 1 2 0\n0 2 3 0\n4\n-1 -1 0 0 1\n-1 1 0 0 0\n1 1 0 1 0\n1 -1 0 1 1\n1\n%missing.bmp%\n";

// True when every entry of wanted appears in calls, in the same order.
bool InOrder(const std::vector<std::string>& calls, const std::vector<std::string>& wanted) {
    std::size_t next = 0;
    for (const std::string& call : calls) {
        if (next < wanted.size() && call == wanted[next]) {
            ++next;
        }
    }
    return next == wanted.size();
}

class Program : public ::testing::Test {
  protected:
    RecordingDirect3D d3d;
    fs::path previous = fs::current_path();
    fs::path dir = fs::temp_directory_path() / ("vellmora_app_" + std::to_string(::getpid()));
    std::string errors;

    void SetUp() override {
        fs::create_directories(dir);
        fs::current_path(dir);
        std::ofstream(dir / "map.txt") << kSquareMap;
        ResetFakeWin32();
        ResetFakePointer();
        gFakeDirect3D = &d3d;
        d3d.device.journal = &gFakeWin32.calls;
        gScene = SceneData{};
        gRender = RenderResources{};
        gScreen = ScreenMetrics{};
    }

    void TearDown() override {
        gFakeDirect3D = nullptr;
        fs::current_path(previous);
        fs::remove_all(dir);
    }

    int Run() {
        ::testing::internal::CaptureStderr();
        const int result = WinMain(nullptr, nullptr, nullptr, 0);
        errors = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(gFakeWin32.starved) << "the program asked for more messages than the test queued";
        return result;
    }
};

TEST_F(Program, StartsUpInOrderWithTheClassAndWindowValuesAndEndsOnEscape) {
    PostToWindow(WM_KEYUP, 'W');
    PostToWindow(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(Run(), 0);
    EXPECT_NE(errors.find("missing.bmp"), std::string::npos) << "an image that fails to load is only noted";

    const WNDCLASSEXW& windowClass = gFakeWin32.registeredClass;
    EXPECT_EQ(windowClass.cbSize, sizeof(WNDCLASSEXW));
    EXPECT_EQ(windowClass.style, 0x40u);
    EXPECT_EQ(windowClass.lpfnWndProc, &WindowProc);
    EXPECT_EQ(windowClass.cbClsExtra, 0);
    EXPECT_EQ(windowClass.cbWndExtra, 0);
    EXPECT_EQ(windowClass.hInstance, kFakeInstance);
    EXPECT_EQ(windowClass.hIcon, nullptr);
    EXPECT_EQ(windowClass.hCursor, kFakeArrow);
    EXPECT_EQ(windowClass.hbrBackground, nullptr);
    EXPECT_EQ(windowClass.lpszMenuName, nullptr);
    EXPECT_EQ(gFakeWin32.registeredClassName, L"D3D Vellmora");
    EXPECT_EQ(windowClass.hIconSm, kFakeIcon);

    EXPECT_EQ(gFakeWin32.exStyle, 0u);
    EXPECT_EQ(gFakeWin32.windowClassName, L"D3D Vellmora");
    EXPECT_EQ(gFakeWin32.windowTitle, L"Vellmora");
    EXPECT_EQ(gFakeWin32.style, 0x80000008u);
    EXPECT_EQ(gFakeWin32.x, 0);
    EXPECT_EQ(gFakeWin32.y, 0);
    EXPECT_EQ(gFakeWin32.width, 1280);
    EXPECT_EQ(gFakeWin32.height, 721);
    EXPECT_EQ(gFakeWin32.parent, kFakeDesktop);
    EXPECT_EQ(gFakeWin32.menu, nullptr);
    EXPECT_EQ(gFakeWin32.windowInstance, kFakeInstance);
    EXPECT_EQ(gFakeWin32.createParameter, nullptr);
    EXPECT_EQ(gScreen.centreX, 640);
    EXPECT_EQ(gScreen.centreY, 360);
    EXPECT_EQ(d3d.focusWindow, kFakeWindow);

    EXPECT_TRUE(InOrder(gFakeWin32.calls, {"RegisterClassExW",
                                           "GetSystemMetrics(0)",
                                           "GetSystemMetrics(1)",
                                           "CreateWindowExW",
                                           "ShowWindow(window, 5)",
                                           "UpdateWindow(window)",
                                           "Direct3DCreate9(32)",
                                           "CreateDevice(0, 1, 64)",
                                           "SetRenderState(7, 1)",
                                           "CreateIndexBuffer(24, 8, 102, 0)",
                                           "SetTransform(3)",
                                           "SetTimer(window, 1, 250)",
                                           "ValidateRect(window, null)",
                                           "DispatchMessageW(257)",
                                           "Present()",
                                           "DispatchMessageW(256)",
                                           "PostQuitMessage(0)",
                                           "PeekMessageW",
                                           "DispatchMessageW(18)"}));
    EXPECT_EQ(d3d.device.presentCount, 1) << "a frame for each pass, none once the window is closing";

    // The normals are generated before the vertices reach the device.
    ASSERT_EQ(d3d.device.vertexBuffers.size(), 1u);
    const Vertex* vertices = reinterpret_cast<const Vertex*>(d3d.device.vertexBuffers[0]->bytes.data());
    EXPECT_EQ(vertices[2].nz, -1.0f);
    EXPECT_EQ(d3d.device.lights.back().Position.z, -5.0f) << "the camera starts where the map says";

    ASSERT_FALSE(gFakePointer.moves.empty());
    EXPECT_EQ(gFakePointer.moves[0].x, 640);
    EXPECT_EQ(gFakePointer.moves[0].y, 360);
    EXPECT_EQ(gFakePointer.showCalls, (std::vector<BOOL>{FALSE, TRUE}));
    const std::vector<const void*> released = {d3d.device.vertexBuffers[0].get(),
                                               d3d.device.indexBuffers[0].get(), d3d.device.surfaces[0].get(),
                                               &d3d.device, &d3d};
    EXPECT_EQ(d3d.device.releaseLog, released);
}

TEST_F(Program, AKeyGoesBeforeTheMouseMovesAheadOfItSoEscapeCostsNoFrame) {
    gFakePointer.position = {900, 100};
    PostToWindow(WM_MOUSEMOVE);
    PostToWindow(WM_MOUSEMOVE);
    PostToWindow(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(d3d.device.presentCount, 0);
}

TEST_F(Program, PausedItWaitsForMessagesDrawsNothingAndStillEndsOnEscape) {
    PostToWindow(WM_KEYDOWN, VK_TAB);  // pause; this pass still draws its frame
    gFakePointer.position = {900, 100};
    PostToWindow(WM_MOUSEMOVE);
    PostToWindow(WM_KEYDOWN, VK_TAB);  // resume
    PostToWindow(WM_KEYDOWN, VK_TAB);  // pause again
    PostToWindow(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(Run(), 0);

    EXPECT_EQ(d3d.device.presentCount, 2);
    EXPECT_EQ(gFakeWin32.getCount, 4);
    EXPECT_EQ(gFakeWin32.peekCount, 0) << "each active pass found a key";
    EXPECT_EQ(gCamera.look, (Vec3{0, 0, 1})) << "the mouse is ignored while paused";
    EXPECT_EQ(gFakePointer.showCalls, (std::vector<BOOL>{FALSE, TRUE, FALSE, TRUE}))
        << "the pointer is already visible at the end, so it is not shown again";
    EXPECT_EQ(d3d.device.releaseLog.size(), 5u);
}

TEST_F(Program, EachFailedStartUpStepEndsWithEFailReleasingNothing) {
    gFakeWin32.registerResult = 0;
    EXPECT_EQ(Run(), static_cast<int>(0x80004005u));
    EXPECT_EQ(errors, "vellmora: RegisterClassExW failed\n");
    EXPECT_EQ(gFakeWin32.windowTitle, L"");

    SetUp();
    gFakeDirect3D = nullptr;
    EXPECT_EQ(Run(), static_cast<int>(0x80004005u));
    EXPECT_NE(errors.find("Direct3DCreate9"), std::string::npos) << errors;

    SetUp();
    fs::remove(dir / "map.txt");
    EXPECT_EQ(Run(), static_cast<int>(0x80004005u));
    EXPECT_NE(errors.find("map.txt"), std::string::npos) << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_EQ(d3d.device.releaseLog.size(), 0u);

    SetUp();
    d3d.device.createIndexBufferResult = D3DERR_OUTOFVIDEOMEMORY;
    EXPECT_EQ(Run(), static_cast<int>(0x80004005u));
    EXPECT_NE(errors.find("CreateIndexBuffer"), std::string::npos) << errors;
    EXPECT_TRUE(gFakePointer.moves.empty()) << "the pointer is not centred after a failure";
    EXPECT_EQ(gFakePointer.showCalls, std::vector<BOOL>{FALSE}) << "nor shown again";
    EXPECT_EQ(d3d.device.releaseLog.size(), 0u);
    EXPECT_EQ(gFakeWin32.peekCount, 0);
}

TEST_F(Program, WhileTheDeviceIsLostItDrawsNothingHandlesMessagesAndAsksAgainEvery50To100Ms) {
    d3d.device.presentResult = D3DERR_DEVICELOST;
    d3d.device.cooperativeLevels = {D3DERR_DEVICELOST, D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET};
    PostToWindowAt(160, WM_MOUSEMOVE, 0, {900, 100});
    PostToWindowAt(170, WM_KEYDOWN, VK_TAB);  // pause
    PostToWindowAt(180, WM_KEYDOWN, VK_TAB);  // resume
    PostToWindowAt(300, WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(Run(), 0);

    const std::vector<std::string>& calls = gFakeWin32.calls;
    const auto lost = std::find(calls.begin(), calls.end(), "Present()");
    const auto reset = std::find(lost, calls.end(), "Reset()");
    ASSERT_NE(reset, calls.end());
    std::vector<int> asked;  // when the device was asked, by the clock of the last wait
    int clock = 1;
    for (auto call = lost; call != reset; ++call) {
        EXPECT_TRUE(*call == "Present()" ? call == lost : call->find("Scene") == std::string::npos) << *call;
        if (call->starts_with("woke at ")) {
            clock = std::stoi(call->substr(8));
        } else if (*call == "TestCooperativeLevel()") {
            asked.push_back(clock);
        }
    }
    ASSERT_EQ(asked.size(), 3u);
    for (std::size_t i = 0; i < asked.size(); ++i) {
        const int since = asked[i] - (i == 0 ? 1 : asked[i - 1]);
        EXPECT_TRUE(since <= 100 && (i == 0 || since >= 50)) << "asked at " << asked[i];
    }
    EXPECT_GT(d3d.device.presentCount, 2) << "frames resume once the device is back";
    EXPECT_NE(gCamera.look, (Vec3{0, 0, 1})) << "the mouse turned the camera while the device was lost";
    EXPECT_EQ(gFakePointer.showCalls, (std::vector<BOOL>{FALSE, TRUE, FALSE, TRUE}))
        << "Tab paused and resumed";
}

TEST_F(Program, WhileLostAStreamOfMouseMovesLetsTheLoopRestAndEscapeIsNotFollowedByAnotherTry) {
    // Four lengths of stream: Escape then comes at each point of the 60 ms between two checks.
    for (DWORD last = 400; last < 416; last += 4) {
        SetUp();
        d3d.device.presentResult = D3DERR_DEVICELOST;
        d3d.device.cooperativeLevels.assign(100, D3DERR_DEVICELOST);
        for (DWORD t = 100; t < last; t += 4)
            PostToWindowAt(t, WM_MOUSEMOVE, 0, {900 + static_cast<LONG>(t % 8), 100});
        PostToWindowAt(last, WM_KEYDOWN, VK_ESCAPE);
        EXPECT_EQ(Run(), 0);
        EXPECT_LE(gFakeWin32.peekCount * 16, static_cast<int>(gFakeWin32.tick) + 100)
            << "at most one pass a frame's time, however many messages come";
        const auto escape =
            std::find(gFakeWin32.calls.begin(), gFakeWin32.calls.end(), "DispatchMessageW(256)");
        EXPECT_EQ(std::find(escape, gFakeWin32.calls.end(), "TestCooperativeLevel()"), gFakeWin32.calls.end())
            << "Escape at " << last;
    }
}

TEST_F(Program, ALostDeviceThatCannotBeRestoredEndsWithEFailAndOneLine) {
    d3d.device.presentResult = D3DERR_DEVICELOST;
    d3d.device.cooperativeLevels = {D3DERR_DEVICENOTRESET};
    d3d.device.resetResult = D3DERR_NOTAVAILABLE;
    EXPECT_EQ(Run(), static_cast<int>(0x80004005u));
    EXPECT_NE(
        errors.find("\nvellmora: the lost Direct3D device cannot be restored: Reset failed (0x8876086A)\n"),
        std::string::npos)
        << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 2) << "the missing image's warning, then this";
    EXPECT_EQ(gFakePointer.showCalls, (std::vector<BOOL>{FALSE, TRUE}));
    ASSERT_EQ(d3d.device.releaseLog.size(), 5u);
    EXPECT_EQ(d3d.device.releaseLog.back(), &d3d);
}

}  // namespace
