#pragma once

#include <string>
#include <utility>
#include <vector>

#include "acquisition/Acquisition.h"
#include "acquisition/Connection.h"
#include "link/CommandChannel.h"
#include "platform/VirtualHost.h"
#include "tests/support/FakeSerialPort.h"
#include "tests/support/FakeUsbLibrary.h"

namespace tracebay::acquisition {

struct RecordingIndicator : ConnectionIndicator {
    void showConnected(bool connected) override { shown.push_back(connected); }
    std::vector<bool> shown;
};

struct RecordingChecks : TraceChecks {
    void setTraceChecked(int index, bool checked) override { changes.push_back({index, checked}); }
    std::vector<std::pair<int, bool>> changes;
};

struct RecordingProgress : ProgressView {
    void setProgressValue(double value) override { values.push_back(value); }
    void setAnimation(bool on) override { animation.push_back(on); }
    std::vector<double> values;
    std::vector<bool> animation;
};

// The program's core as the windows will wire it, with recording stand-ins for the windows.
struct ProgramCore {
    ProgramCore(platform::VirtualHost& host, platform::SerialPortControl& port,
                link::UsbLibrary& usb)
        : channel(host, port, usb) {}

    link::CommandChannel channel;
    RecordingIndicator indicator;
    Connection connection{channel, indicator};
    ScopeStates states;
    RecordingChecks checks;
    RecordingProgress progress;
    Acquisition acquisition{channel, connection, states, checks, progress};
};

// A virtual clock with a fake serial port and a fake USB library, for a core that tests script
// the instrument of by hand.
struct FakeLink {
    platform::VirtualHost host{1};
    testing::FakeSerialPort port;
    testing::FakeUsbLibrary usb;
};

}  // namespace tracebay::acquisition
