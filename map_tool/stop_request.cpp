#include "map_tool/stop_request.h"

namespace {

volatile sig_atomic_t gStopRequested = 0;

void NoteStop(int) {
    gStopRequested = 1;
}

// No SA_RESTART: a wait the signal comes in ends at once.
void Note(int signal, struct sigaction& before) {
    sigaction(signal, nullptr, &before);
    if (before.sa_handler == SIG_IGN) return;
    struct sigaction noting = {};
    noting.sa_handler = NoteStop;
    sigemptyset(&noting.sa_mask);
    sigaction(signal, &noting, nullptr);
}

void Obey(int signal, const struct sigaction& before) {
    struct sigaction action = {};
    action.sa_handler = before.sa_handler == SIG_IGN ? SIG_IGN : SIG_DFL;
    sigaction(signal, &action, nullptr);
}

}  // namespace

StopRequests::StopRequests() {
    Note(SIGINT, interrupt_);
    Note(SIGTERM, terminate_);
}

StopRequests::~StopRequests() {
    sigaction(SIGINT, &interrupt_, nullptr);
    sigaction(SIGTERM, &terminate_, nullptr);
}

void StopRequests::ObeyInChild() const {
    Obey(SIGINT, interrupt_);
    Obey(SIGTERM, terminate_);
}

bool StopRequested() {
    return gStopRequested != 0;
}
