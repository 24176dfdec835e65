// Preloaded into the native viewer by bench/start_up.py: reports how long after the moment in
// VELLMORA_PROBE_START_NS (CLOCK_MONOTONIC) the first frame was presented and the processor time it
// took, then, some frames later,
// the resident memory of the running viewer, and ends the viewer.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

constexpr int kSettledFrames = 30;

long long NowNs(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

long ResidentKib() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    long kib = -1;
    char line[256];
    while (status != nullptr && std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "VmRSS:", 6) == 0) {
            kib = std::strtol(line + 6, nullptr, 10);
        }
    }
    if (status != nullptr) std::fclose(status);
    return kib;
}

}  // namespace

extern "C" void SDL_GL_SwapWindow(void* window) {
    using Swap = void (*)(void*);
    static const auto real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    static int frames = 0;
    real(window);
    ++frames;
    if (frames == 1) {
        const char* start = std::getenv("VELLMORA_PROBE_START_NS");
        const long long since = start != nullptr ? NowNs(CLOCK_MONOTONIC) - std::atoll(start) : -1;
        // The processor time of every thread so far, the renderer's included: less swayed by a busy machine.
        std::printf("first_frame_ms %.1f\nfirst_frame_cpu_ms %.1f\n", static_cast<double>(since) / 1e6,
                    static_cast<double>(NowNs(CLOCK_PROCESS_CPUTIME_ID)) / 1e6);
    } else if (frames == kSettledFrames) {
        std::printf("resident_kib %ld\n", ResidentKib());
        std::fflush(stdout);
        _exit(0);
    }
}
