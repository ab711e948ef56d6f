#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/SerialLineSettings.h"

namespace tracebay::platform {

struct PortStatus {
    bool ok = true;
    std::string error;  // the platform's description of what failed

    static PortStatus success() { return {}; }
    static PortStatus failure(std::string why) { return {false, std::move(why)}; }
};

// A serial port as the link sees it: a few properties, a byte output, a byte input and one
// receive event. The properties and their checks live here; a subclass supplies the device.
class SerialPortControl {
public:
    // CommEvent codes.
    static constexpr int ComEvSend = 1;
    static constexpr int ComEvReceive = 2;
    // The device went away (adapter unplugged, far end of a pseudo-terminal closed); the port
    // has been closed.
    static constexpr int ComEvPortLost = 1099;

    virtual ~SerialPortControl() = default;

    int16_t CommPort() const { return commPort_; }
    PortStatus setCommPort(int16_t port);
    const std::string& DevicePath() const { return devicePath_; }
    void setDevicePath(std::string path) { devicePath_ = std::move(path); }
    const std::string& Settings() const { return settings_; }
    // Any text is kept; opening the port checks it.
    PortStatus setSettings(std::string text);
    int Handshaking() const { return handshaking_; }
    PortStatus setHandshaking(int mode);

    bool PortOpen() const { return open_; }
    PortStatus setPortOpen(bool open);

    PortStatus Output(const std::string& bytes);
    // Every byte received since the last call, in order.
    std::string Input();
    // Drops every byte received and not yet read, also those the system still holds.
    void discardInput();
    int CommEvent() const { return commEvent_; }
    void setOnComm(std::function<void()> handler) { onComm_ = std::move(handler); }

protected:
    virtual PortStatus openDevice(const std::string& name, const SerialLineSettings& line,
                                  int handshaking) = 0;
    virtual void closeDevice() = 0;
    virtual PortStatus writeDevice(const std::string& bytes) = 0;
    virtual std::string readDevice() = 0;
    virtual void discardDeviceInput() { readDevice(); }

    // For subclasses: report an event through CommEvent and the receive handler.
    void raiseCommEvent(int code);
    // For subclasses: the device is gone; close the port and report it once.
    void deviceLost();

private:
    int16_t commPort_ = 1;
    std::string devicePath_;
    std::string settings_ = "9600,n,8,1";
    int handshaking_ = 0;
    bool open_ = false;
    int commEvent_ = 0;
    std::function<void()> onComm_;
};

}  // namespace tracebay::platform
