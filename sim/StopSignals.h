#pragma once

namespace tracebay::sim {

// SIGINT and SIGTERM turned into a readable file descriptor (a self-pipe), so that a program
// waiting in poll for other descriptors stops at once when one arrives. One per process.
class StopSignals {
public:
    StopSignals();
    // The default handlers come back.
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Readable once a stop signal has arrived.
    int fd() const;
};

}  // namespace tracebay::sim
