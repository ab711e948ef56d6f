#include "link/LinkError.h"

namespace tracebay::link {

std::string LinkError::text() const {
    switch (failure) {
        case LinkFailure::NoDevice:
            // A library that could not be loaded at all is named on a second line, so that it
            // is not taken for an instrument that is not there.
            return detail.empty() ? UsbNoDeviceText : UsbNoDeviceText + ("\r" + detail);
        case LinkFailure::ReplyTimedOut: return UsbTimeOutText;
        // The USB reader says of a reply too long for it what it says of any it could not read.
        case LinkFailure::ReadFailed:
        case LinkFailure::TooLong: return UsbReadFailedText;
        case LinkFailure::CommandTooLong:
            return "Command longer than " + std::to_string(limit) + " characters not sent";
        case LinkFailure::OpenFailed:
        case LinkFailure::SendFailed:
        case LinkFailure::PortClosed:
        case LinkFailure::NoReply:
        case LinkFailure::TooShort:
        case LinkFailure::Abandoned: break;
    }
    return detail;
}

std::string LinkError::shortfall() const {
    switch (failure) {
        case LinkFailure::NoReply:
        case LinkFailure::ReplyTimedOut: return "time-out";
        case LinkFailure::PortClosed:
        case LinkFailure::SendFailed:
        case LinkFailure::OpenFailed: return "port closed";
        case LinkFailure::NoDevice: return "no device";
        case LinkFailure::ReadFailed:
        case LinkFailure::CommandTooLong: return "read failed";
        case LinkFailure::TooLong:
            return std::to_string(received) + " bytes, more than " + std::to_string(limit);
        case LinkFailure::TooShort:
            return std::to_string(received) + " bytes, " + std::to_string(limit) + " needed";
        case LinkFailure::Abandoned: return "abandoned";
    }
    return "read failed";
}

}  // namespace tracebay::link
