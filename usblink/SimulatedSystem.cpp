// The backend of the test build of the library: a simulated instrument inside the library,
// set up from the environment (KAVLO_SIM_MODEL, KAVLO_SIM_FIRMWARE, KAVLO_SIM_PRESET and
// KAVLO_SIM_FAULTS, a comma-separated list of the simulator's faults).

#include <cstdlib>
#include <sstream>

#include "sim/Presets.h"
#include "usblink/SimulatedDeviceAccess.h"

namespace usblink {
namespace {

using namespace tracebay::sim;

std::string environment(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

struct SimulatedSystem {
    SimulatedSystem()
        : instrument(identity(),
                     presetState(environment("KAVLO_SIM_PRESET", "yt")).value_or(defaultState())),
          device(instrument, faults),
          access(device) {
        std::istringstream list(environment("KAVLO_SIM_FAULTS", ""));
        for (std::string fault; std::getline(list, fault, ',');) applyFault(faults, fault);
        if (faults.absent) device.unplug();
        access.denied = faults.denied;
    }

    static Identity identity() {
        Identity id;
        id.model = environment("KAVLO_SIM_MODEL", id.model);
        id.firmware = environment("KAVLO_SIM_FIRMWARE", id.firmware);
        return id;
    }

    Faults faults;
    Instrument instrument;
    UsbtmcDevice device;
    SimulatedDeviceAccess access;
};

}  // namespace

DeviceAccess& systemDeviceAccess() {
    static SimulatedSystem system;
    return system.access;
}

}  // namespace usblink
