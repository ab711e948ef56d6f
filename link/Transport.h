#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/LinkError.h"

namespace tracebay::link {

// What a read brings: the reply, or why it did not come.
template <typename T>
struct Reply {
    T value{};
    std::optional<LinkError> error;

    bool ok() const { return !error; }
};

using Bytes = std::vector<uint8_t>;

// One wire to the instrument: serial or USB. Each operation returns its result or a typed
// failure; none shows anything. Waits are timed by the reply tick.
class Transport {
public:
    virtual ~Transport() = default;

    // Prepares the link for a connect.
    virtual std::optional<LinkError> open() = 0;
    virtual void close() = 0;
    // Sends one command, with the pacing the wire needs.
    virtual std::optional<LinkError> send(const std::string& command) = 0;
    // The reply to the command just sent, as text.
    virtual Reply<std::string> readLine() = 0;
    // The binary block that answers the command just sent: whole, and at most `capacity` bytes.
    virtual Reply<Bytes> readBlock(size_t capacity) = 0;
    // Runs every 100 ms while the transport is in use.
    virtual void onReplyTick() = 0;
    // What was tried, for a connect that met silence; empty when there is nothing to add.
    virtual std::string silenceHint() const { return {}; }
    // A block comes in over the time the line takes for it, so that there is progress to show
    // while it is awaited; over USB it comes at once when it is ready.
    virtual bool blocksTakeTheLinesTime() const { return false; }
};

}  // namespace tracebay::link
