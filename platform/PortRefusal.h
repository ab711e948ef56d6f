#pragma once

#include <string>

namespace tracebay::platform {

// Why a serial port refused to open when the system only says "permission": another program
// has it open, or this user may not open it at all.
enum class PortRefusal { Busy, Forbidden };

// Tells the two apart by the device's access rights, without opening it (opening a serial port
// may reset the device at its far end).
PortRefusal portRefusal(const std::string& device);
// The group whose members may open the device; "dialout" when it cannot be told.
std::string deviceGroup(const std::string& device);
// What to tell the user, with what to do about it.
std::string portRefusalText(const std::string& device, PortRefusal refusal,
                            const std::string& group);

}  // namespace tracebay::platform
