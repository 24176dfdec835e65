#include "map_tool/bounded_run.h"

#include <poll.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Set by the child when an allocation fails, in memory shared with the parent: the child may not
// live to report it (an exception escaping the library ends it with abort).
std::atomic<bool>* gOutOfMemory = nullptr;

void NoteOutOfMemory() {
    gOutOfMemory->store(true);
    throw std::bad_alloc();
}

void WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

[[noreturn]] void RunChild(int reportFd, const RunLimits& limits, const std::function<RunOutcome()>& work,
                           const struct sigaction& interrupt) {
    // Ctrl-C ends the child, as it would the tool; and a tool that is itself ended takes its child along.
    sigaction(SIGINT, &interrupt, nullptr);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (kMemoryBounded) {
        const rlim_t bytes = static_cast<rlim_t>(limits.memoryMiB) << 20;
        const rlimit memory{bytes, bytes};
        setrlimit(RLIMIT_AS, &memory);
    }
    // The soft limit sends SIGXCPU; the hard one, a second later, SIGKILL.
    const rlimit processor{limits.seconds, limits.seconds + 1};
    setrlimit(RLIMIT_CPU, &processor);
    std::set_new_handler(NoteOutOfMemory);
    RunOutcome outcome;
    try {
        outcome = work();
    } catch (const std::bad_alloc&) {
        gOutOfMemory->store(true);
    } catch (const std::exception& e) {
        outcome.text = e.what();
    }
    WriteAll(reportFd, (outcome.ok ? "+" : "-") + outcome.text);
    _exit(0);
}

std::string Describe(int status, bool timedOut, bool outOfMemory, const RunLimits& limits) {
    const int signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    if (timedOut || signal == SIGXCPU) {
        return "the import took more than " + std::to_string(limits.seconds) +
               " s (raise the limit with --time-limit)";
    }
    if (outOfMemory) {
        return "the import needed more than " + std::to_string(limits.memoryMiB) +
               " MiB of memory (raise the limit with --memory-limit)";
    }
    if (signal == SIGINT) return "the import was interrupted";
    if (signal != 0) {
        return "the import crashed (signal " + std::to_string(signal) + ", " + strsignal(signal) + ")";
    }
    return "the import ended without a report (exit code " + std::to_string(WEXITSTATUS(status)) + ")";
}

// Reads the child's report until the pipe closes or the deadline passes; false on the deadline.
bool ReadReport(int fd, Clock::time_point deadline, std::string& report) {
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        pollfd waiting{fd, POLLIN, 0};
        const int ready = poll(&waiting, 1, static_cast<int>(std::min<long long>(left.count(), 1000)));
        if (ready <= 0) continue;
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return true;
        report.append(buffer, static_cast<std::size_t>(got));
    }
}

// The child's exit status, once it ends or, past the deadline, is ended; false on the deadline.
bool AwaitChild(pid_t child, Clock::time_point deadline, int& status) {
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (Clock::now() >= deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace

RunLimits DefaultRunLimits() {
    constexpr std::uint64_t kMostMiB = 4096;
    const std::uint64_t physicalMiB = (static_cast<std::uint64_t>(sysconf(_SC_PHYS_PAGES)) *
                                       static_cast<std::uint64_t>(sysconf(_SC_PAGE_SIZE))) >>
                                      20;
    return {std::min(kMostMiB, physicalMiB / 2), 120};
}

RunOutcome RunBounded(const RunLimits& limits, const std::function<RunOutcome()>& work) {
    void* shared =
        mmap(nullptr, sizeof(std::atomic<bool>), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED) return {false, std::string("cannot start the import: ") + strerror(errno)};
    gOutOfMemory = new (shared) std::atomic<bool>(false);
    int fds[2] = {-1, -1};
    // Output still buffered would otherwise be written twice, once by each process.
    std::fflush(stdout);
    std::fflush(stderr);
    // Ctrl-C goes to both processes; the tool waits for its child to end, and then cleans up.
    struct sigaction ignore = {}, interrupt = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGINT, &ignore, &interrupt);
    const pid_t child = pipe(fds) == 0 ? fork() : -1;
    if (child < 0) {
        sigaction(SIGINT, &interrupt, nullptr);
        const std::string why = std::string("cannot start the import: ") + strerror(errno);
        munmap(shared, sizeof(std::atomic<bool>));
        for (int fd : fds) {
            if (fd >= 0) close(fd);
        }
        return {false, why};
    }
    if (child == 0) {
        close(fds[0]);
        RunChild(fds[1], limits, work, interrupt);
    }
    close(fds[1]);
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(limits.seconds);
    std::string report;
    int status = 0;
    const bool reported = ReadReport(fds[0], deadline, report);
    close(fds[0]);
    const bool inTime = AwaitChild(child, deadline, status) && reported;
    sigaction(SIGINT, &interrupt, nullptr);
    const bool outOfMemory = gOutOfMemory->load();
    munmap(shared, sizeof(std::atomic<bool>));
    const bool exited = inTime && WIFEXITED(status) && WEXITSTATUS(status) == 0 && !report.empty();
    if (exited && report[0] == '+') return {true, report.substr(1)};
    if (exited && !outOfMemory) return {false, report.substr(1)};
    return {false, Describe(status, !inTime, outOfMemory, limits)};
}
