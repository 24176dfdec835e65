#pragma once
// Ctrl-C (SIGINT) and SIGTERM while the tool has something to tidy up (a staging folder, a child
// import): noted rather than obeyed at once, so that its waits end early and it ends cleanly.
#include <signal.h>

class StopRequests {
  public:
    // A signal the tool was started ignoring stays ignored.
    StopRequests();
    // The signals' actions as they were.
    ~StopRequests();
    StopRequests(const StopRequests&) = delete;
    StopRequests& operator=(const StopRequests&) = delete;

    // In a child process: the signals end it, or stay ignored, as they would have the tool.
    void ObeyInChild() const;

  private:
    struct sigaction interrupt_ = {};
    struct sigaction terminate_ = {};
};

// Whether SIGINT or SIGTERM has come while noted.
bool StopRequested();
