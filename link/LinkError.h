#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tracebay::link {

// What went wrong on the link.
enum class LinkFailure {
    OpenFailed,      // serial: the port could not be opened or set up
    SendFailed,      // serial: a command could not be written
    PortClosed,      // serial: the port went away (adapter unplugged, far end closed)
    NoReply,         // serial: nothing more came within the wait's ticks
    NoDevice,        // USB: the library could not reach the instrument
    ReplyTimedOut,   // USB: no reply became ready within the wait's ticks
    ReadFailed,      // USB: the ready reply could not be read whole
    CommandTooLong,  // USB: a command longer than the library takes; nothing went out
    TooLong,         // a reply announcing more than its reader takes
    TooShort,        // a block shorter than its reader needs
    Abandoned,       // the program ends at once: the wait gave up
};

// A failure as a value that travels from the link to whoever tells the user: its kind, the
// caption of the box the failed step shows (empty when that step shows none), and the details
// its text is made of.
struct LinkError {
    LinkFailure failure;
    std::string caption{};
    std::string detail{};   // the platform's description, or the library's load failure
    uint64_t received = 0;  // TooLong: the bytes announced; TooShort: the bytes received
    uint64_t limit = 0;     // TooLong: the reader's capacity; TooShort: the bytes needed

    // The message the failed step shows.
    std::string text() const;
    // Why a part of an upload did not come, in a few words: "time-out", "port closed".
    std::string shortfall() const;
    // The link is gone: nothing more can come until the next connect.
    bool lost() const {
        return failure == LinkFailure::PortClosed || failure == LinkFailure::NoDevice;
    }
    bool shown() const { return !caption.empty(); }
};

// Ends the operation in progress: the link went away under it.
class LinkLost : public std::runtime_error {
public:
    explicit LinkLost(LinkError error)
        : std::runtime_error(error.text()), error_(std::move(error)) {}
    const LinkError& error() const { return error_; }

private:
    LinkError error_;
};

// Ends the operation in progress at once: the program is to end.
class Abandoned : public std::runtime_error {
public:
    Abandoned() : std::runtime_error("abandoned") {}
};

// The texts of the USB client's failures.
inline constexpr const char* UsbNoDeviceText = "Cann't Connect to USB Device";
inline constexpr const char* UsbReadFailedText = "Cann't Read data from USB Device";
inline constexpr const char* UsbTimeOutText = "Read USB time out";

}  // namespace tracebay::link
