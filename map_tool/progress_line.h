#pragma once
// One line on a terminal saying how far a long import has come: shown only where stderr is a
// terminal and only once the import has taken more than a second, and cleared at the end.
#include <chrono>
#include <string>
#include <string_view>

class ProgressLine {
  public:
    explicit ProgressLine(std::string subject);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // percent < 0 where the stage cannot tell how far it has come.
    void Show(std::string_view stage, int percent = -1);

  private:
    std::string subject_;
    std::chrono::steady_clock::time_point started_;
    bool terminal_;
    bool shown_ = false;
    std::string stage_;  // what the line shows, written again only when it changes
    int percent_ = -1;
};

// Clears the line a child process showed and may not have cleared: it was ended, or crashed.
void ClearProgressLine();
