#pragma once

namespace tracebay::sim {

// A request to stop that a poll loop waits on next to its other file descriptors: a pipe that
// becomes readable once request() is called, from any thread or from a signal handler.
class StopRequest {
public:
    StopRequest();
    ~StopRequest();
    StopRequest(const StopRequest&) = delete;
    StopRequest& operator=(const StopRequest&) = delete;

    // Safe in a signal handler.
    void request() const;
    // Readable once the stop has been requested.
    int fd() const { return ends_[0]; }

private:
    int ends_[2] = {-1, -1};
};

// While it lives, SIGINT and SIGTERM request `stop`; then the default handlers come back. One
// at a time in a process.
class StopOnSignals {
public:
    explicit StopOnSignals(const StopRequest& stop);
    ~StopOnSignals();
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;
};

}  // namespace tracebay::sim
