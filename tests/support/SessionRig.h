#pragma once

#include <string>
#include <vector>

#include "platform/VirtualHost.h"
#include "session/SessionOwner.h"
#include "sim/Instrument.h"
#include "sim/Presets.h"
#include "sim/SerialFace.h"
#include "sim/UsbtmcDevice.h"
#include "tests/support/SimulatedSerialPort.h"
#include "tests/support/SimulatedUsbLibrary.h"

namespace tracebay::testing {

enum class Transport { Serial, Usb };

// The simulated instrument behind a serial port and a USB library, on a virtual clock.
struct SimulatedLink {
    SimulatedLink(sim::Identity identity, const std::string& preset);

    platform::VirtualHost host{1};
    sim::Instrument instrument;
    sim::Faults faults;
    sim::SerialFace face{instrument, faults};
    sim::UsbtmcDevice device{instrument, faults};
    SimulatedSerialPort port{host, face};
    SimulatedUsbLibrary usb{device};
};

// What a session tells its views, recorded.
struct RecordingObserver : session::SessionObserver {
    void stateChanged(session::State state) override { states.push_back(state); }
    void connectFinished(acquisition::ConnectOutcome outcome, const session::Identity&) override {
        outcomes.push_back(outcome);
    }
    void repeatingChanged(bool on) override { repeating.push_back(on); }
    void progressValue(double value) override { progressValues.push_back(value); }
    void progressStep(int step) override { progressSteps.push_back(step); }
    void sourcesSettled(const session::Sources& asked, const session::Sources& settled) override {
        settledSources.emplace_back(asked, settled);
    }
    void uploaded(const session::Upload& upload) override { uploads.push_back(upload); }
    void closed() override { ++closings; }
    // What the progress bar's animation added per tick when it last ran.
    int lastProgressStep() const {
        for (auto step = progressSteps.rbegin(); step != progressSteps.rend(); ++step)
            if (*step != 0) return *step;
        return 0;
    }

    std::vector<session::State> states;
    std::vector<acquisition::ConnectOutcome> outcomes;
    std::vector<bool> repeating;
    std::vector<double> progressValues;
    std::vector<int> progressSteps;
    std::vector<std::pair<session::Sources, session::Sources>> settledSources;  // asked, settled
    std::vector<session::Upload> uploads;
    int closings = 0;
};

// A session on the simulated instrument, over either transport, in virtual time; every command
// the instrument receives is recorded with the time it arrived.
class SessionRig : public SimulatedLink, public RecordingObserver {
public:
    explicit SessionRig(Transport transport, const std::string& preset = "yt",
                        sim::Identity identity = {});

    session::Session& session() { return owner_.session(); }
    bool connect();
    // The traces ticked, uploaded as one Refresh does; the screen the upload brought.
    const acquisition::ScopeState& upload(bool ch1, bool ch2 = false, bool math = false,
                                          bool la = false);
    std::vector<std::string> messageTexts() const;
    void sourcesSettled(const session::Sources& asked, const session::Sources& settled) override {
        RecordingObserver::sourcesSettled(asked, settled);
        commandsBeforeSettled = commands.size();
    }

    session::LinkOptions options;
    std::vector<std::string> commands;
    std::vector<int64_t> commandTimes;  // virtual time at which each command arrived
    size_t commandsBeforeSettled = 0;   // the commands of the upload when its sources settled

private:
    void record(const std::string& command);

    session::InlineSession owner_;
};

}  // namespace tracebay::testing
