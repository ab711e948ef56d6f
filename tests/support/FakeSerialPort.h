#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/SerialPortControl.h"

namespace tracebay::testing {

// A serial port in memory: records what is written, delivers bytes on request.
class FakeSerialPort : public platform::SerialPortControl {
public:
    // Bytes arrive: they wait in the input and a receive event is raised.
    void deliver(const std::string& bytes);
    // Bytes arrive while the program is busy: they wait in the input, no event yet.
    void arrive(const std::string& bytes) { input_ += bytes; }
    void raise(int commEvent) { raiseCommEvent(commEvent); }
    void unplug() { deviceLost(); }

    // Runs on every write, after it is recorded: a test's instrument.
    std::function<void(const std::string&)> onWrite;
    std::optional<std::string> openFailure;
    std::optional<std::string> writeFailure;

    std::vector<std::string> written;
    std::string openedName;
    platform::SerialLineSettings openedLine;
    int opens = 0;
    int closes = 0;

protected:
    platform::PortStatus openDevice(const std::string& name,
                                    const platform::SerialLineSettings& line,
                                    int handshaking) override;
    void closeDevice() override { ++closes; }
    platform::PortStatus writeDevice(const std::string& bytes) override;
    std::string readDevice() override;

private:
    std::string input_;
};

}  // namespace tracebay::testing
