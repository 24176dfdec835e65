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

#include "map_tool/stop_request.h"

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

// The child's report: + or -, the text, and each file read after a NUL (neither text nor paths hold one).
std::string ReportOf(const RunOutcome& outcome) {
    std::string report = (outcome.ok ? "+" : "-") + outcome.text;
    for (const std::string& path : outcome.read) report.append(1, '\0').append(path);
    return report;
}

RunOutcome OutcomeOf(const std::string& report) {
    RunOutcome outcome{report[0] == '+', {}};
    std::size_t end = report.find('\0');
    outcome.text = report.substr(1, end - 1);
    while (end != std::string::npos) {
        const std::size_t from = end + 1;
        end = report.find('\0', from);
        outcome.read.push_back(report.substr(from, end - from));
    }
    return outcome;
}

[[noreturn]] void RunChild(int reportFd, const RunLimits& limits, const std::function<RunOutcome()>& work,
                           const StopRequests& stops) {
    // Ctrl-C ends the child, as it would the tool; and a tool that is itself ended takes its child along.
    stops.ObeyInChild();
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
    WriteAll(reportFd, ReportOf(outcome));
    _exit(0);
}

std::string Describe(int status, bool timedOut, bool outOfMemory, const RunLimits& limits) {
    const int signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    if (StopRequested() || signal == SIGINT) return "the import was interrupted";
    if (timedOut || signal == SIGXCPU) {
        return "the import took more than " + std::to_string(limits.seconds) +
               " s (raise the limit with --time-limit)";
    }
    if (outOfMemory) {
        return "the import needed more than " + std::to_string(limits.memoryMiB) +
               " MiB of memory (raise the limit with --memory-limit)";
    }
    if (signal != 0) {
        return "the import crashed (signal " + std::to_string(signal) + ", " + strsignal(signal) + ")";
    }
    return "the import ended without a report (exit code " + std::to_string(WEXITSTATUS(status)) + ")";
}

// Reads the child's report until the pipe closes; false once the deadline passes or a stop is asked.
bool ReadReport(int fd, Clock::time_point deadline, std::string& report) {
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0 || StopRequested()) return false;
        pollfd waiting{fd, POLLIN, 0};
        const int ready = poll(&waiting, 1, static_cast<int>(std::min<long long>(left.count(), 1000)));
        if (ready <= 0) continue;
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return true;
        report.append(buffer, static_cast<std::size_t>(got));
    }
}

// The child's exit status, once it ends or, past the deadline or asked to stop, is ended; false then.
bool AwaitChild(pid_t child, Clock::time_point deadline, int& status) {
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (Clock::now() >= deadline || StopRequested()) {
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
    // Ctrl-C goes to both processes, SIGTERM perhaps to the tool alone: the tool ends its child if
    // need be, and then cleans up.
    const StopRequests stops;
    const pid_t child = pipe(fds) == 0 ? fork() : -1;
    if (child < 0) {
        const std::string why = std::string("cannot start the import: ") + strerror(errno);
        munmap(shared, sizeof(std::atomic<bool>));
        for (int fd : fds) {
            if (fd >= 0) close(fd);
        }
        return {false, why};
    }
    if (child == 0) {
        close(fds[0]);
        RunChild(fds[1], limits, work, stops);
    }
    close(fds[1]);
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(limits.seconds);
    std::string report;
    int status = 0;
    const bool reported = ReadReport(fds[0], deadline, report);
    close(fds[0]);
    const bool inTime = AwaitChild(child, deadline, status) && reported;
    const bool outOfMemory = gOutOfMemory->load();
    munmap(shared, sizeof(std::atomic<bool>));
    const bool exited = inTime && WIFEXITED(status) && WEXITSTATUS(status) == 0 && !report.empty();
    if (exited && (report[0] == '+' || !outOfMemory)) return OutcomeOf(report);
    return {false, Describe(status, !inTime, outOfMemory, limits)};
}
