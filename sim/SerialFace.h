#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Faults.h"
#include "sim/Instrument.h"

namespace tracebay::sim {

// One write of the instrument to its serial line, after a pause.
struct SerialWrite {
    std::string bytes;
    int delayMs = 0;
    bool thenDisappear = false;  // the line goes dead after this write
};

// The instrument behind its RS232 port: command lines ended by a line feed in; text replies
// ended by a line feed, or blocks behind a 4-byte little-endian length, out.
class SerialFace {
public:
    SerialFace(Instrument& instrument, const Faults& faults)
        : instrument_(instrument), faults_(faults) {}

    // Bytes from the program; what the instrument writes back, in order.
    std::vector<SerialWrite> receive(std::string_view bytes);

    // Sees every command line as it arrives.
    std::function<void(const std::string&)> onCommand;

private:
    std::vector<SerialWrite> reply(const std::string& command, const Reply& reply) const;

    Instrument& instrument_;
    const Faults& faults_;
    std::string pending_;
};

std::string lengthPrefix(uint32_t length);

}  // namespace tracebay::sim
