#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/InstrumentState.h"

namespace tracebay::sim {

// Named instrument set-ups, one for each kind of screen the program draws.
struct Preset {
    std::string name;
    std::string description;
    void (*apply)(InstrumentState&);
};

const std::vector<Preset>& presets();
std::optional<InstrumentState> presetState(const std::string& name);

}  // namespace tracebay::sim
