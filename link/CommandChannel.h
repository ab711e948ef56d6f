#pragma once

#include <string>

#include "link/LinkState.h"
#include "link/SerialTransport.h"
#include "link/UsbClient.h"

namespace tracebay::link {

// Every command and query to the instrument passes here, over the transport that IoType
// selects, paced by a pause after each command. Owns the link state and the reply tick that
// times every wait for the instrument.
class CommandChannel {
public:
    static constexpr int IoTypeUsb = 0;
    static constexpr int IoTypeSerial = 2;
    static constexpr int CommandPauseMs = 100;

    CommandChannel(platform::HostServices& host, platform::SerialPortControl& port,
                   UsbLibrary& usbLibrary);
    ~CommandChannel();
    CommandChannel(const CommandChannel&) = delete;
    CommandChannel& operator=(const CommandChannel&) = delete;

    // 2 is the serial port; every other value is USB.
    int IoType = IoTypeUsb;
    bool usesSerial() const { return IoType == IoTypeSerial; }

    void SendCommand(const std::string& command);
    std::string QueryCommand(const std::string& command);

    LinkState& state() { return link_; }
    SerialTransport& serial() { return serial_; }
    UsbClient& usb() { return usb_; }
    platform::HostServices& host() { return host_; }

    // The reply tick: every 100 ms while the channel lives.
    void onReplyTick();

private:
    platform::HostServices& host_;
    LinkState link_;
    SerialTransport serial_;
    UsbClient usb_;
};

}  // namespace tracebay::link
