#include "mainwindow/CloseOnSignal.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <csignal>

namespace tracebay::mainwindow {
namespace {

int signalPipe[2] = {-1, -1};
constexpr int Signals[] = {SIGTERM, SIGINT, SIGHUP};

// Only what is safe in a signal handler: one byte into the pipe.
void onSignalRaised(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

CloseOnSignal::CloseOnSignal(std::function<void()> close) : close_(std::move(close)) {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &CloseOnSignal::onSignal);
    struct sigaction action {};
    action.sa_handler = onSignalRaised;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : Signals) sigaction(signal, &action, nullptr);
}

CloseOnSignal::~CloseOnSignal() {
    for (const int signal : Signals) std::signal(signal, SIG_DFL);
    for (int& end : signalPipe) {
        if (end >= 0) ::close(end);
        end = -1;
    }
}

void CloseOnSignal::onSignal() {
    char bytes[16];
    while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
    }
    close_();
}

}  // namespace tracebay::mainwindow
