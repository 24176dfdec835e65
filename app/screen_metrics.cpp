#include "app/screen_metrics.h"

ScreenMetrics gScreen;
