#include "scene/scene_data.h"

SceneData gScene;
