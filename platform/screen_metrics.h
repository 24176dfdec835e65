#pragma once
#include <cstdint>

// The primary screen's size and the point where the pointer is held, filled once at start-up.
struct ScreenMetrics {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t centreX = 0;
    std::int32_t centreY = 0;
};

extern ScreenMetrics gScreen;
