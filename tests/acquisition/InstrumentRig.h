#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/VirtualHost.h"
#include "sim/Instrument.h"
#include "sim/Presets.h"
#include "sim/SerialFace.h"
#include "sim/UsbtmcDevice.h"
#include "tests/acquisition/ProgramCore.h"
#include "tests/support/SimulatedSerialPort.h"
#include "tests/support/SimulatedUsbLibrary.h"

namespace tracebay::acquisition {

enum class Transport { Serial, Usb };

// The simulated instrument behind a serial port and a USB library, on a virtual clock.
struct SimulatedLink {
    SimulatedLink(sim::Identity identity, const std::string& preset)
        : instrument(std::move(identity), sim::presetState(preset).value()) {}

    platform::VirtualHost host{1};
    sim::Instrument instrument;
    sim::Faults faults;
    sim::SerialFace face{instrument, faults};
    sim::UsbtmcDevice device{instrument, faults};
    testing::SimulatedSerialPort port{host, face};
    testing::SimulatedUsbLibrary usb{device};
};

// The program's core against the simulated instrument, over either transport, in virtual time.
class InstrumentRig : public SimulatedLink, public ProgramCore {
public:
    explicit InstrumentRig(Transport transport, const std::string& preset = "yt",
                           sim::Identity identity = {})
        : SimulatedLink(std::move(identity), preset), ProgramCore(host, port, usb) {
        face.onCommand = [this](const std::string& c) { record(c); };
        device.onCommand = [this](const std::string& c) { record(c); };
        channel.IoType = transport == Transport::Serial ? link::CommandChannel::IoTypeSerial
                                                        : link::CommandChannel::IoTypeUsb;
    }

    void record(const std::string& command) {
        commands.push_back(command);
        commandTimes.push_back(host.nowMs());
    }

    bool connect() { return connection.ConnectScope() == ConnectOutcome::Connected; }

    // Slot 0 with the given traces ticked, uploaded as one Refresh does.
    ScopeState& upload(bool ch1, bool ch2 = false, bool math = false, bool la = false) {
        ScopeState& s = states[WindowIndex];
        s.ShowCh1 = ch1;
        s.ShowCh2 = ch2;
        s.ShowMath = math;
        s.ShowLa = la;
        commands.clear();
        commandTimes.clear();
        acquisition.RunUpload();
        s.HasData = true;
        return s;
    }

    std::vector<std::string> commands;
    std::vector<int64_t> commandTimes;  // virtual time at which each command arrived
};

}  // namespace tracebay::acquisition
