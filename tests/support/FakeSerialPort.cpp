#include "tests/support/FakeSerialPort.h"

namespace tracebay::testing {

void FakeSerialPort::deliver(const std::string& bytes) {
    input_ += bytes;
    raiseCommEvent(ComEvReceive);
}

platform::PortStatus FakeSerialPort::openDevice(const std::string& name,
                                                const platform::SerialLineSettings& line, int) {
    if (openFailure) return platform::PortStatus::failure(*openFailure);
    ++opens;
    openedName = name;
    openedLine = line;
    return platform::PortStatus::success();
}

platform::PortStatus FakeSerialPort::writeDevice(const std::string& bytes) {
    if (writeFailure) return platform::PortStatus::failure(*writeFailure);
    written.push_back(bytes);
    if (onWrite) onWrite(bytes);
    return platform::PortStatus::success();
}

std::string FakeSerialPort::readDevice() {
    std::string bytes;
    bytes.swap(input_);
    return bytes;
}

}  // namespace tracebay::testing
