#include "sim/StopRequest.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <stdexcept>

namespace tracebay::sim {
namespace {

std::atomic<const StopRequest*> signalled = nullptr;

void onStopSignal(int) {
    if (const StopRequest* stop = signalled) stop->request();
}

void handle(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
}

}  // namespace

StopRequest::StopRequest() {
    if (::pipe2(ends_, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("cannot make a pipe to stop by");
}

StopRequest::~StopRequest() {
    ::close(ends_[0]);
    ::close(ends_[1]);
}

// Only async-signal-safe calls; a full pipe already says enough.
void StopRequest::request() const {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(ends_[1], &byte, 1);
    errno = saved;
}

StopOnSignals::StopOnSignals(const StopRequest& stop) {
    if (signalled.exchange(&stop)) throw std::logic_error("stop signals are already taken");
    handle(SIGINT, onStopSignal);
    handle(SIGTERM, onStopSignal);
}

StopOnSignals::~StopOnSignals() {
    handle(SIGINT, SIG_DFL);
    handle(SIGTERM, SIG_DFL);
    signalled = nullptr;
}

}  // namespace tracebay::sim
