#include "tests/support/SimulatedSerialPort.h"

#include <algorithm>

namespace tracebay::testing {

platform::PortStatus SimulatedSerialPort::openDevice(const std::string& name,
                                                     const platform::SerialLineSettings&, int) {
    if (gone_) return platform::PortStatus::failure(name + ": No such device");
    openedName = name;
    return platform::PortStatus::success();
}

// Each reply write arrives after its pause, never before the write before it.
platform::PortStatus SimulatedSerialPort::writeDevice(const std::string& bytes) {
    if (writeFailure) return platform::PortStatus::failure(*writeFailure);
    for (const auto& write : face_.receive(bytes)) {
        lastArrivalMs_ = std::max(lastArrivalMs_, host_.nowMs()) + write.delayMs;
        host_.at(lastArrivalMs_, [this, write] {
            if (gone_) return;
            input_ += write.bytes;
            raiseCommEvent(ComEvReceive);
            if (write.thenDisappear) {
                gone_ = true;
                deviceLost();
            }
        });
    }
    return platform::PortStatus::success();
}

std::string SimulatedSerialPort::readDevice() {
    std::string bytes;
    bytes.swap(input_);
    return bytes;
}

}  // namespace tracebay::testing
