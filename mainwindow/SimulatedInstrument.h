#pragma once

#include <string>
#include <thread>

#include "sim/Faults.h"
#include "sim/Instrument.h"
#include "sim/PtyServer.h"
#include "sim/SerialFace.h"
#include "sim/StopRequest.h"

namespace tracebay::mainwindow {

// A simulated instrument served on a private pseudo-terminal by a thread of its own, for a run
// of the program without an instrument.
class SimulatedInstrument {
public:
    // Throws std::runtime_error when the preset is unknown or no terminal can be had.
    explicit SimulatedInstrument(const std::string& preset);
    ~SimulatedInstrument();
    SimulatedInstrument(const SimulatedInstrument&) = delete;
    SimulatedInstrument& operator=(const SimulatedInstrument&) = delete;

    // The serial device the program opens to reach it.
    const std::string& devicePath() const { return server_.devicePath(); }

private:
    sim::Instrument instrument_;
    sim::Faults faults_;
    sim::SerialFace face_;
    sim::PtyServer server_;
    sim::StopRequest stop_;
    std::thread thread_;
};

}  // namespace tracebay::mainwindow
