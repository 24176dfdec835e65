#pragma once
// Counts the heap the program holds through operator new, so a benchmark can report the peak
// that one call reaches.
#include <cstdint>

std::int64_t HeapBytesInUse();
std::int64_t HeapPeakBytes();
// Starts a new peak from what is in use now.
void ResetHeapPeak();
