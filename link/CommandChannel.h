#pragma once

#include <string>

#include "link/Transport.h"
#include "platform/HostServices.h"

namespace tracebay::link {

// Every command and query to the instrument passes here, over the transport in use, paced by a
// pause after each command; so do the reads of binary blocks. A failure is shown where it
// happens, in the box of the step that failed; a link that went away ends the operation with
// LinkLost instead, and a wait given up because the program ends, with Abandoned. Owns the
// reply tick that times every wait for the instrument.
class CommandChannel {
public:
    static constexpr int CommandPauseMs = 100;

    CommandChannel(platform::HostServices& host, Transport& transport);
    ~CommandChannel();
    CommandChannel(const CommandChannel&) = delete;
    CommandChannel& operator=(const CommandChannel&) = delete;

    void use(Transport& transport) { transport_ = &transport; }
    Transport& transport() { return *transport_; }
    platform::HostServices& host() { return host_; }

    // False when the command did not go out (after its message).
    bool SendCommand(const std::string& command);
    // The reply without a transport header; empty when it did not come.
    std::string QueryCommand(const std::string& command);
    // Whether a reader's own failure to read a ready block is shown (the system block's is not).
    enum class ReadFailures { Shown, Quiet };
    // The binary block that answers the command just sent, at most `capacity` bytes. A failure
    // the user was not shown has no caption.
    Reply<Bytes> ReadBlock(size_t capacity, ReadFailures failures = ReadFailures::Shown);

private:
    // Shows the failure as its step does; throws LinkLost when the link is gone.
    void report(const LinkError& error);

    platform::HostServices& host_;
    Transport* transport_;
};

}  // namespace tracebay::link
