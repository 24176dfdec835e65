// Reads VmRSS and VmHWM from /proc/self/status; writing 5 to /proc/self/clear_refs resets VmHWM.
#include "bench/peak_memory.h"

#include <cstdio>
#include <cstring>

namespace {

std::int64_t StatusKibibytes(const char* field) {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return -1;
    const std::size_t length = std::strlen(field);
    std::int64_t bytes = -1;
    char line[256];
    while (std::fgets(line, sizeof line, status) != nullptr) {
        long long kib = 0;
        if (std::strncmp(line, field, length) == 0 && std::sscanf(line + length, ": %lld kB", &kib) == 1) {
            bytes = kib * 1024;
            break;
        }
    }
    std::fclose(status);
    return bytes;
}

}  // namespace

bool ResetPeakResident() {
    std::FILE* refs = std::fopen("/proc/self/clear_refs", "w");
    if (refs == nullptr) return false;
    const bool written = std::fputs("5", refs) >= 0;
    return std::fclose(refs) == 0 && written;
}

std::int64_t ResidentBytes() {
    return StatusKibibytes("VmRSS");
}

std::int64_t PeakResidentBytes() {
    return StatusKibibytes("VmHWM");
}
