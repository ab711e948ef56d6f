#include "mainwindow/SimulatedInstrument.h"

#include <stdexcept>

#include "sim/Presets.h"

namespace tracebay::mainwindow {
namespace {

sim::InstrumentState presetOrThrow(const std::string& preset) {
    const auto state = sim::presetState(preset);
    if (!state) throw std::runtime_error("unknown preset " + preset);
    return *state;
}

}  // namespace

SimulatedInstrument::SimulatedInstrument(const std::string& preset)
    : instrument_(sim::Identity{}, presetOrThrow(preset)),
      face_(instrument_, faults_),
      server_(face_),
      thread_([this] { server_.serve(stop_); }) {}

SimulatedInstrument::~SimulatedInstrument() {
    stop_.request();
    thread_.join();
}

}  // namespace tracebay::mainwindow
