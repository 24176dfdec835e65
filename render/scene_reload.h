#pragma once
// Following the scene's files: the map and every image file it opened are asked after a few times a
// second, and a settled change makes the scene again from the files as they are now, beside the
// one drawn; the old scene goes only once the new one is whole. A reset device is filled the same way.
#include <map>
#include <string>
#include <vector>

#include "platform/file_watch.h"
#include "platform/texture_cache.h"
#include "render/render_resources.h"
#include "scene/map_reader.h"

// What the scene drawn was made from.
struct SceneSource {
    std::vector<WatchedFile> files;               // the map first, then each image file it opened
    std::map<std::string, TextureLoad> textures;  // by name; the scene's slots hold the references
};

extern SceneSource gSource;

// Records what a load made the scene from.
void KeepSceneSource(const WatchedFile& map, const TextureCache& cache);

enum class Rebuild { kDone, kRefused, kDeviceLost, kFailed };

struct RebuildResult {
    Rebuild result = Rebuild::kDone;
    std::string refusal;  // kRefused: the map's line, not yet written
    DeviceStep step;      // kFailed and kDeviceLost: the device call that failed
};

// The scene made again from what was read: textures whose files have not changed since they were
// made are shared, the rest made again (their warnings written as at the start-up), then buffers
// of the new sizes. Only then are the old buffers and textures released and the new ones put in
// gRender and gScene, not yet set on the device. Anything else leaves the scene drawn as it was.
RebuildResult RebuildScene(MapRead read);

// A timer's check: once a file has changed and settled, the scene is made again, with one line
// saying what was reloaded or why the previous map is still shown.
void FollowSceneFiles();
