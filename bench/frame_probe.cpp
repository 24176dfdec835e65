// Preloaded into the native viewer by bench/follow_cost.py: times each presented frame, telling the
// frames in which the viewer asked after its files (a stat call, itself timed) from the others, and
// appends a line of figures to the file in VELLMORA_PROBE_OUT every VELLMORA_PROBE_FRAMES frames
// (300 if unset).
#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

std::atomic<int> gStats{0};         // stat calls since the last frame
std::atomic<long long> gStatNs{0};  // and the time spent in them

long long NowNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

struct Tally {
    int frames = 0;
    double totalMs = 0;
    double longestMs = 0;
    void Add(double ms) {
        ++frames;
        totalMs += ms;
        longestMs = std::max(longestMs, ms);
    }
};

}  // namespace

extern "C" int stat(const char* path, struct stat* status) {
    using Stat = int (*)(const char*, struct stat*);
    static const auto real = reinterpret_cast<Stat>(dlsym(RTLD_NEXT, "stat"));
    const long long start = NowNs();
    const int result = real(path, status);
    gStatNs += NowNs() - start;
    ++gStats;
    return result;
}

extern "C" void SDL_GL_SwapWindow(void* window) {
    using Swap = void (*)(void*);
    static const auto real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    static const char* out = std::getenv("VELLMORA_PROBE_OUT");
    static const int every =
        std::getenv("VELLMORA_PROBE_FRAMES") ? std::atoi(std::getenv("VELLMORA_PROBE_FRAMES")) : 300;
    static long long last = 0;
    static Tally plain, checked;
    static long long statNs = 0;
    static int round = 0;
    real(window);
    const long long now = NowNs();
    const bool asked = gStats.exchange(0) != 0;
    statNs += gStatNs.exchange(0);
    if (last != 0) (asked ? checked : plain).Add(static_cast<double>(now - last) / 1e6);
    last = now;
    if (plain.frames + checked.frames < every || out == nullptr) return;
    if (std::FILE* file = std::fopen(out, "a")) {
        std::fprintf(file, "round %d plain %d %.3f %.3f checked %d %.3f %.3f stat_us %.1f\n", ++round,
                     plain.frames, plain.frames ? plain.totalMs / plain.frames : 0.0, plain.longestMs,
                     checked.frames, checked.frames ? checked.totalMs / checked.frames : 0.0,
                     checked.longestMs,
                     checked.frames ? static_cast<double>(statNs) / 1e3 / checked.frames : 0.0);
        std::fclose(file);
    }
    plain = checked = Tally{};
    statNs = 0;
}
