#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tracebay::sim {

// Misbehaviour to put the program's error handling to the test. Each applies to the replies of
// the commands that contain `target` (all commands when it is empty).
struct Faults {
    std::string target;
    bool silent = false;             // no reply at all
    int trickleMs = 0;               // reply sent a byte at a time, this far apart
    bool garbage = false;            // reply replaced by bytes that mean nothing
    long prefixDelta = 0;            // a block announces this many bytes more (or fewer)
    bool splitPrefix = false;        // a block's length prefix spread over two writes
    size_t oversize = 0;             // blocks padded to this many payload bytes
    bool wrongMessageId = false;     // USB: the reply header carries message ID 1
    bool shortFirstPacket = false;   // USB: the first reply packet is 8 bytes long
    bool disappearMidReply = false;  // the device goes away half-way through a reply
    bool absent = false;             // USB: no instrument on the bus
    bool denied = false;             // USB: the instrument is there, but this user may not open it

    bool appliesTo(std::string_view command) const {
        return target.empty() || command.find(target) != std::string_view::npos;
    }
};

// A fault by name, as the simulator's command line gives it ("silent", "trickle=5000",
// "garbage", "prefix-delta=-10", "split-prefix", "oversize=7000", "wrong-message-id",
// "short-packet", "disappear", "absent", "denied", "target=TEXT"); false for an unknown name.
bool applyFault(Faults& faults, std::string_view fault);

}  // namespace tracebay::sim
