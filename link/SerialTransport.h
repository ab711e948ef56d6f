#pragma once

#include <string>
#include <string_view>

#include "link/LinkState.h"
#include "platform/HostServices.h"
#include "platform/SerialPortControl.h"

namespace tracebay::link {

// Which serial port and how fast; chosen in the options and kept between runs.
struct SerialSettings {
    int ComPort = 1;
    std::string BaudRate = "9600";
    std::string DevicePath;  // when set, opened instead of the port that ComPort names
};

// The milliseconds a command line takes on the wire, counted generously: 30000 / baud per
// character (three 10-bit character times), at least 3, for the command and its line feed.
int serialPacingMs(const std::string& baudText, size_t commandLength);

// How a wait for a serial reply ended. A port that closed (adapter unplugged, far end gone)
// ends it at once: no reply can come any more.
enum class ReplyWait { Complete, TimedOut, Refused, PortClosed };

// Commands as text lines over a serial port; replies assembled from receive events into the
// link state, either a text line or a block with a 4-byte little-endian length prefix.
class SerialTransport {
public:
    static constexpr int TextReplyTickLimit = 40;    // 4 s without a received chunk
    static constexpr int BlockReplyTickLimit = 100;  // 10 s without a received chunk
    static constexpr int CommTimerTicks = 2000 / platform::HostServices::ReplyTickMs;

    SerialTransport(platform::HostServices& host, platform::SerialPortControl& port,
                    LinkState& link);
    ~SerialTransport();
    SerialTransport(const SerialTransport&) = delete;
    SerialTransport& operator=(const SerialTransport&) = delete;

    SerialSettings& settings() { return settings_; }
    // The port and rate the settings name, as "/dev/ttyUSB0 at 9600 baud".
    std::string portAndRate() const;

    void SerialOpen();
    void SerialSend(const std::string& command);
    std::string SerialReadLine();
    // Waits, pumping events, until the awaited reply is complete, refused, the port closed, or
    // `tickLimit` reply ticks pass without a received chunk.
    ReplyWait awaitReply(int tickLimit);

    // The receive event handler and its two halves.
    void SerialReceive();
    void SerialReceiveLine(std::string_view chunk);
    void SerialReceiveBlock(std::string_view chunk);

    void closePort();
    // Runs on every reply tick.
    void onReplyTick();

    bool commTimerEnabled() const { return commTimerTicksLeft_ > 0; }
    // The description of the last port event other than send and receive.
    const std::string& lastEventDescription() const { return lastEventDescription_; }

private:
    void startReply();
    // Stores payload bytes and appends them to ReplyText; false when they do not fit.
    bool storePayload(std::string_view bytes);
    void refuseReply();
    void reportSendFailure(const std::string& error);
    std::string_view takePrefixBytes(std::string_view chunk);

    platform::HostServices& host_;
    platform::SerialPortControl& port_;
    LinkState& link_;
    SerialSettings settings_;
    int commTimerTicksLeft_ = 0;
    // A send failed on a closed port and said so; the sends after it fail quietly until the
    // port opens again.
    bool closedPortReported_ = false;
    std::string lastEventDescription_;
};

}  // namespace tracebay::link
