#include "tools/StopSignals.h"

#include <signal.h>

#include <csignal>

namespace tracebay::cli {
namespace {

volatile std::sig_atomic_t stopsAsked = 0;
volatile std::sig_atomic_t lastSignal = 0;
// How many stops end the command at once.
volatile std::sig_atomic_t stopsToEnd = 1;

void askStop(int signal) {
    if (stopsAsked < 2) stopsAsked = stopsAsked + 1;
    lastSignal = signal;
}

}  // namespace

// Interrupted calls go on, so that what is in progress ends whole or gives up at its next wait.
void catchStopSignals(FirstStop first) {
    stopsToEnd = first == FirstStop::EndsAtOnce ? 1 : 2;
    struct sigaction action {};
    action.sa_handler = askStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool stopAsked() { return stopsAsked > 0; }

bool endAtOnce() { return stopsAsked >= stopsToEnd; }

int stoppedStatus() { return 128 + lastSignal; }

}  // namespace tracebay::cli
