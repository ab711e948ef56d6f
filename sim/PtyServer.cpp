#include "sim/PtyServer.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <stdexcept>

namespace tracebay::sim {

PtyServer::PtyServer(SerialFace& face, int pacingBaud) : face_(face), pacingBaud_(pacingBaud) {
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (openpty(&master_, &slave_, name, &raw, nullptr) != 0)
        throw std::runtime_error("cannot open a pseudo-terminal");
    // Writes never block: a reply nobody reads waits in poll, where a stop can end it.
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    path_ = name;
}

PtyServer::~PtyServer() {
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
}

PtyServer::Wait PtyServer::wait(short events, long long timeoutNs) {
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + nanoseconds(timeoutNs);
    for (;;) {
        pollfd fds[2] = {{stopFd_, POLLIN, 0}, {master_, events, 0}};
        timespec left{};
        timespec* limit = nullptr;
        if (timeoutNs >= 0) {
            const auto ns = std::max(nanoseconds(0), deadline - steady_clock::now()).count();
            left = {static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
            limit = &left;
        }
        const int n = ::ppoll(fds, events ? 2 : 1, limit, nullptr);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || fds[0].revents) return Wait::Stop;
        if (n == 0) return Wait::TimedOut;
        return Wait::Ready;
    }
}

void PtyServer::serve(const StopRequest& stop) {
    stopFd_ = stop.fd();
    char buffer[4096];
    while (master_ >= 0 && wait(POLLIN, -1) == Wait::Ready) {
        const auto n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) {
            // Nobody has the terminal open: wait a little rather than spin.
            if (wait(0, 50'000'000) == Wait::Stop) return;
            continue;
        }
        for (const auto& write : face_.receive(std::string_view(buffer, static_cast<size_t>(n))))
            if (!this->write(write)) return;
    }
}

// False when the stop came first.
bool PtyServer::write(const SerialWrite& write) {
    if (write.delayMs > 0 && wait(0, write.delayMs * 1'000'000LL) == Wait::Stop) return false;
    // With pacing, a few bytes at a time at the line's rate (10 bits a character).
    const size_t piece = pacingBaud_ > 0 ? 16 : write.bytes.size();
    for (size_t done = 0; done < write.bytes.size() && master_ >= 0; done += piece) {
        const auto bytes = std::string_view(write.bytes).substr(done, piece);
        if (!writeAll(bytes)) return false;
        if (pacingBaud_ > 0 && wait(0, 10'000'000'000LL * static_cast<long long>(bytes.size()) /
                                           pacingBaud_) == Wait::Stop)
            return false;
    }
    if (write.thenDisappear) {
        ::close(master_);
        master_ = -1;
    }
    return true;
}

// False when the stop came first. A terminal that fails takes no more of the bytes.
bool PtyServer::writeAll(std::string_view bytes) {
    while (!bytes.empty()) {
        const auto n = ::write(master_, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return true;
        if (wait(POLLOUT, -1) == Wait::Stop) return false;
    }
    return true;
}

}  // namespace tracebay::sim
