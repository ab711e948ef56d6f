#pragma once

#include <string>

#include "sim/SerialFace.h"
#include "sim/StopRequest.h"

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
    // Serves until `stop` is requested or the device disappears. Every wait looks out for the
    // stop too: a reply paced, trickled or not read by anyone never holds it up.
    void serve(const StopRequest& stop);

private:
    enum class Wait { Ready, TimedOut, Stop };
    // Waits for `events` on the terminal (none: only time passes) until `timeoutNs` pass
    // (negative: for ever), or for the stop.
    Wait wait(short events, long long timeoutNs);
    bool write(const SerialWrite& write);
    bool writeAll(std::string_view bytes);

    SerialFace& face_;
    int pacingBaud_;
    int master_ = -1;
    int slave_ = -1;  // held open so that the line stays up between the program's opens
    int stopFd_ = -1;
    std::string path_;
};

}  // namespace tracebay::sim
