#include "map_tool/progress_line.h"

#include <unistd.h>

#include <cstdio>

ProgressLine::ProgressLine(std::string subject)
    : subject_(std::move(subject)),
      started_(std::chrono::steady_clock::now()),
      terminal_(isatty(STDERR_FILENO) != 0) {}

namespace {

constexpr const char* kClearLine = "\r\033[K";

}  // namespace

ProgressLine::~ProgressLine() {
    if (shown_) std::fputs(kClearLine, stderr);
}

void ProgressLine::Show(std::string_view stage, int percent) {
    if (!terminal_ || (stage == stage_ && percent == percent_)) return;
    if (std::chrono::steady_clock::now() - started_ < std::chrono::seconds(1)) return;
    stage_ = stage;
    percent_ = percent;
    std::fprintf(stderr, "%s%s: %.*s", kClearLine, subject_.c_str(), static_cast<int>(stage.size()),
                 stage.data());
    if (percent >= 0) std::fprintf(stderr, " %d%%", percent);
    std::fflush(stderr);
    shown_ = true;
}

void ClearProgressLine() {
    if (isatty(STDERR_FILENO) != 0) std::fputs(kClearLine, stderr);
}
