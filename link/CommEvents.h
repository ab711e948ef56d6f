#pragma once

#include <string>

namespace tracebay::link {

// The text for a serial port event or error code other than send and receive.
std::string commEventDescription(int commEvent);

}  // namespace tracebay::link
