#pragma once

#include <chrono>
#include <string>

namespace tracebay::testing {

// A pseudo-terminal pair in raw mode: the program opens `devicePath()`, the test plays the
// instrument on the other end.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& devicePath() const { return path_; }
    void write(const std::string& bytes);
    // Bytes up to and including the first line feed, or what came before the time-out.
    std::string readLine(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Closes the instrument's end, as an unplugged cable would.
    void closeFarEnd();

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

}  // namespace tracebay::testing
