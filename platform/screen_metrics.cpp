#include "platform/screen_metrics.h"

ScreenMetrics gScreen;
