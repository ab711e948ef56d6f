#pragma once

#include <cstdint>
#include <string>

namespace tracebay::link {

// Why an awaited reply did not come whole, in a few words for the user.
namespace failure {

inline const std::string TimedOut = "time-out";
inline const std::string PortClosed = "port closed";
inline const std::string NoDevice = "no device";
inline const std::string ReadFailed = "read failed";

inline std::string tooLong(uint64_t announced, uint64_t capacity) {
    return std::to_string(announced) + " bytes, more than " + std::to_string(capacity);
}

inline std::string tooShort(uint64_t received, uint64_t needed) {
    return std::to_string(received) + " bytes, " + std::to_string(needed) + " needed";
}

}  // namespace failure
}  // namespace tracebay::link
