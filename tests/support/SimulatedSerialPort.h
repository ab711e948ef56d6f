#pragma once

#include <optional>
#include <string>

#include "platform/SerialPortControl.h"
#include "platform/VirtualHost.h"
#include "sim/SerialFace.h"

namespace tracebay::testing {

// A serial port wired to the simulated instrument: what the program writes goes to the
// instrument's serial face, and its replies arrive as receive events on the virtual clock.
class SimulatedSerialPort : public platform::SerialPortControl {
public:
    SimulatedSerialPort(platform::VirtualHost& host, sim::SerialFace& face)
        : host_(host), face_(face) {}

    std::string openedName;
    // Every write fails with this description while it is set.
    std::optional<std::string> writeFailure;

protected:
    platform::PortStatus openDevice(const std::string& name, const platform::SerialLineSettings&,
                                    int) override;
    void closeDevice() override {}
    platform::PortStatus writeDevice(const std::string& bytes) override;
    std::string readDevice() override;

private:
    platform::VirtualHost& host_;
    sim::SerialFace& face_;
    std::string input_;
    int64_t lastArrivalMs_ = 0;
    bool gone_ = false;
};

}  // namespace tracebay::testing
