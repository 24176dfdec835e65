#pragma once
// The process's resident memory as Linux reports it, with a peak that can be started afresh, so a
// benchmark can report the most memory one call holds: heap, mapped arrays and mapped files alike.
#include <cstdint>

// Starts a new peak from what is resident now; false where the system does not allow it.
bool ResetPeakResident();
// Bytes, or -1 where they cannot be read.
std::int64_t ResidentBytes();
std::int64_t PeakResidentBytes();
