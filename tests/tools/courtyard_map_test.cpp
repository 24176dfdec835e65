// The committed sample, read by the viewer's own map reader: it loads without a word on stderr
// and every texture it names decodes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "render/map_load.h"
#include "scene/map_file.h"
#include "tests/fakes/recording_device.h"

TEST(CourtyardSample, LoadsWithEveryTextureAndNoMessage) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::path(VELLMORA_SOURCE_DIR) / "examples" / "courtyard");
    RecordingDevice device;
    SceneData scene;
    ::testing::internal::CaptureStderr();
    TextureCache cache;
    const bool loaded = LoadMap(&device, scene, ReadTheMap(), cache);
    const std::string messages = ::testing::internal::GetCapturedStderr();
    std::filesystem::current_path(previous);

    ASSERT_TRUE(loaded) << messages;
    EXPECT_EQ(messages, "");
    EXPECT_GT(scene.triangleCount, 300);
    EXPECT_EQ(scene.startPosition.z, -10.0f);
    ASSERT_EQ(scene.textureCount, 8);
    for (int k = 0; k < scene.textureCount; ++k) {
        EXPECT_NE(scene.textures[k], nullptr) << "texture " << k;
    }
    ASSERT_EQ(device.textures.size(), 8u);
    EXPECT_EQ(device.textures[0]->width, 256u);
}
