#pragma once
// Work that may exhaust or crash the library it calls, run in a child process whose memory and
// time are bounded, so that the tool itself survives it and the machine stays usable.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Builds with the address sanitizer reserve terabytes of shadow memory up front, so no limit on the
// address space can hold there: such builds bound the child's time only.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryBounded = false;
#elif defined(__has_feature)
constexpr bool kMemoryBounded = !__has_feature(address_sanitizer);
#else
constexpr bool kMemoryBounded = true;
#endif

struct RunLimits {
    std::uint64_t memoryMiB = 0;
    unsigned seconds = 0;  // of processor time, and of wall-clock time
};

// 4096 MiB, or half the physical memory where that is less; 120 s.
RunLimits DefaultRunLimits();

struct RunOutcome {
    bool ok = false;
    std::string text;                    // what the work reported, or why it ended without a report
    std::vector<std::string> read = {};  // the files the work read, for a watch to follow
};

// Runs work in a child with the limits. The child's report (the work's whole outcome) comes back
// through a pipe; a child that runs out of memory or time, crashes or ends without a report is
// ended if need be and described instead ("the import needed more than ..."). Ctrl-C or SIGTERM
// ends the child and the run ("the import was interrupted"); see stop_request.h.
RunOutcome RunBounded(const RunLimits& limits, const std::function<RunOutcome()>& work);
