#include "sim/PtyServer.h"

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace tracebay::sim {

PtyServer::PtyServer(SerialFace& face, int pacingBaud) : face_(face), pacingBaud_(pacingBaud) {
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (openpty(&master_, &slave_, name, &raw, nullptr) != 0)
        throw std::runtime_error("cannot open a pseudo-terminal");
    path_ = name;
}

PtyServer::~PtyServer() {
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
}

void PtyServer::serve(const std::atomic<bool>& stop) {
    char buffer[4096];
    while (!stop && master_ >= 0) {
        pollfd fd{master_, POLLIN, 0};
        if (::poll(&fd, 1, 50) <= 0 || !(fd.revents & POLLIN)) continue;
        const auto n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) continue;
        for (const auto& write : face_.receive(std::string_view(buffer, static_cast<size_t>(n))))
            this->write(write);
    }
}

void PtyServer::write(const SerialWrite& write) {
    using std::chrono::milliseconds;
    if (write.delayMs > 0) std::this_thread::sleep_for(milliseconds(write.delayMs));
    // With pacing, a few bytes at a time at the line's rate (10 bits a character).
    const size_t piece = pacingBaud_ > 0 ? 16 : write.bytes.size();
    for (size_t done = 0; done < write.bytes.size() && master_ >= 0;) {
        const size_t length = std::min(piece, write.bytes.size() - done);
        const auto n = ::write(master_, write.bytes.data() + done, length);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
        if (pacingBaud_ > 0)
            std::this_thread::sleep_for(std::chrono::microseconds(10'000'000LL * n / pacingBaud_));
    }
    if (write.thenDisappear) {
        ::close(master_);
        master_ = -1;
    }
}

}  // namespace tracebay::sim
