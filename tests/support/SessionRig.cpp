#include "tests/support/SessionRig.h"

namespace tracebay::testing {

SimulatedLink::SimulatedLink(sim::Identity identity, const std::string& preset)
    : instrument(std::move(identity), sim::presetState(preset).value()) {}

SessionRig::SessionRig(Transport transport, const std::string& preset, sim::Identity identity)
    : SimulatedLink(std::move(identity), preset), owner_({host, port, usb}, *this) {
    face.onCommand = [this](const std::string& c) { record(c); };
    device.onCommand = [this](const std::string& c) { record(c); };
    options.IoType = transport == Transport::Serial ? session::LinkOptions::IoTypeSerial
                                                    : session::LinkOptions::IoTypeUsb;
}

void SessionRig::record(const std::string& command) {
    commands.push_back(command);
    commandTimes.push_back(host.nowMs());
}

bool SessionRig::connect() {
    session().connect(options);
    return session().state() == session::State::Connected;
}

const acquisition::ScopeState& SessionRig::upload(bool ch1, bool ch2, bool math, bool la) {
    commands.clear();
    commandTimes.clear();
    uploads.clear();
    progressValues.clear();
    session().refresh({ch1, ch2, math, la});
    static const acquisition::ScopeState none;
    return uploads.empty() ? none : *uploads.back().screen;
}

std::vector<std::string> SessionRig::messageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : host.messages()) texts.push_back(m.caption + ": " + m.text);
    return texts;
}

}  // namespace tracebay::testing
