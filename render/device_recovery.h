#pragma once
// Bringing a lost device back: while it stays lost, nothing; once it can be reset, the default-pool
// objects go, the device is reset with the parameters of the start-up, and everything the reset
// took is made and set again as the start-up made and set it.
#include "platform/screen_metrics.h"

enum class Recovery { kStillLost, kRestored, kImpossible };

// Asks the device once. kImpossible comes after one line on stderr saying why.
Recovery RestoreLostDevice(const ScreenMetrics& screen);
