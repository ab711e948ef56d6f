#include "tests/support/PseudoTerminal.h"

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

namespace tracebay::testing {

PseudoTerminal::PseudoTerminal() {
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (openpty(&master_, &slave_, name, &raw, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    path_ = name;
}

PseudoTerminal::~PseudoTerminal() {
    closeFarEnd();
    if (slave_ >= 0) ::close(slave_);
}

void PseudoTerminal::write(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const auto n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n <= 0) throw std::runtime_error("write to pseudo-terminal failed");
        done += static_cast<size_t>(n);
    }
}

std::string PseudoTerminal::readLine(std::chrono::milliseconds timeout) {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (line.empty() || line.back() != '\n') {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd fd{master_, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) break;
        char c = 0;
        if (::read(master_, &c, 1) != 1) break;
        line += c;
    }
    return line;
}

void PseudoTerminal::closeFarEnd() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

}  // namespace tracebay::testing
