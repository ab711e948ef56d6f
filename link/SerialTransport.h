#pragma once

#include <string>
#include <variant>

#include "link/SerialFraming.h"
#include "link/Transport.h"
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

// Commands as text lines over a serial port; replies assembled from the port's receive events,
// waited for until they are whole, the port closes, a number of reply ticks pass without a
// received chunk, or the reply has taken 10 s longer than its bytes take on the line.
class SerialTransport : public Transport {
public:
    static constexpr int TextReplyTickLimit = 40;    // 4 s without a received chunk
    static constexpr int BlockReplyTickLimit = 100;  // 10 s without a received chunk
    // However its bytes trickle in, a reply ends this long after the time they take on the line.
    static constexpr int ReplyDeadlineMs = 10'000;
    static constexpr int CommTimerTicks = 2000 / platform::HostServices::ReplyTickMs;
    static constexpr const char* SendCaption = "RS232 Send Message";

    SerialTransport(platform::HostServices& host, platform::SerialPortControl& port);
    ~SerialTransport() override;
    SerialTransport(const SerialTransport&) = delete;
    SerialTransport& operator=(const SerialTransport&) = delete;

    SerialSettings& settings() { return settings_; }
    // The port and rate the settings name, as "/dev/ttyUSB0 at 9600 baud".
    std::string portAndRate() const;

    // Every step runs even when an earlier one failed; the last failure is reported.
    std::optional<LinkError> open() override;
    void close() override;
    std::optional<LinkError> send(const std::string& command) override;
    Reply<std::string> readLine() override;
    Reply<Bytes> readBlock(size_t capacity) override;
    void onReplyTick() override;
    std::string silenceHint() const override;
    bool blocksTakeTheLinesTime() const override { return true; }

    bool commTimerEnabled() const { return commTimerTicksLeft_ > 0; }
    // The description of the last port event other than send and receive.
    const std::string& lastEventDescription() const { return lastEventDescription_; }

private:
    // The receive event handler.
    void onComm();
    void take(std::string_view chunk);
    // Feeds what came since the send to `reply` and waits, pumping events, until it is whole.
    template <typename Assembler>
    std::optional<LinkError> await(Assembler& reply, int tickLimit);
    LinkError portClosed() const;
    // The wait has lasted longer than `bytes` take on the line, and the deadline besides.
    bool overdue(uint64_t bytes) const;

    platform::HostServices& host_;
    platform::SerialPortControl& port_;
    SerialSettings settings_;
    // What arrives between a send and the read of its reply waits here; a read feeds it to the
    // reply it assembles, and so does every chunk during the wait.
    std::string early_;
    std::variant<std::monostate, LineAssembler*, BlockAssembler*> reply_;
    int ticks_ = 0;        // reply ticks since the last received chunk
    int waitedTicks_ = 0;  // reply ticks since the wait began
    int commTimerTicksLeft_ = 0;
    std::string lastEventDescription_;
};

}  // namespace tracebay::link
