#pragma once

#include <atomic>
#include <string>

#include "sim/SerialFace.h"

namespace tracebay::sim {

// Serves the instrument's serial face on a pseudo-terminal: the program opens devicePath() as
// if it were the instrument's RS232 port.
class PtyServer {
public:
    // `pacingBaud` > 0 sends replies no faster than a line at that rate would.
    PtyServer(SerialFace& face, int pacingBaud = 0);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    const std::string& devicePath() const { return path_; }
    // Serves until `stop` is set (looked at every 50 ms) or the device disappears.
    void serve(const std::atomic<bool>& stop);

private:
    void write(const SerialWrite& write);

    SerialFace& face_;
    int pacingBaud_;
    int master_ = -1;
    int slave_ = -1;  // held open so that the line stays up between the program's opens
    std::string path_;
};

}  // namespace tracebay::sim
