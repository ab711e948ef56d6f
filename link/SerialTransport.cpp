#include "link/SerialTransport.h"

#include <cmath>
#include <limits>

#include "link/CommEvents.h"
#include "link/LeadingNumber.h"

namespace tracebay::link {

using platform::MessageIcon;
using platform::PortStatus;
using platform::SerialPortControl;

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

int serialPacingMs(const std::string& baudText, size_t commandLength) {
    const double baud = leadingNumber(baudText);
    double perCharacter = baud > 0 ? 30000.0 / baud : 0;
    if (perCharacter < 3) perCharacter = 3;
    // Rounded to the nearest millisecond, halves to even.
    const double total = std::nearbyint(perCharacter * static_cast<double>(commandLength + 1));
    return total > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                   : static_cast<int>(total);
}

SerialTransport::SerialTransport(platform::HostServices& host, SerialPortControl& port,
                                 LinkState& link)
    : host_(host), port_(port), link_(link) {
    port_.setOnComm([this] { SerialReceive(); });
}

SerialTransport::~SerialTransport() { port_.setOnComm(nullptr); }

std::string SerialTransport::portAndRate() const {
    return platform::portDeviceName(settings_.ComPort, settings_.DevicePath) + " at " +
           trimmed(settings_.BaudRate) + " baud";
}

// Every step runs even when an earlier one failed; the last failure is reported.
void SerialTransport::SerialOpen() {
    bool failed = false;
    std::string lastError;
    const auto note = [&](const PortStatus& status) {
        if (status.ok) return;
        failed = true;
        lastError = status.error;
    };
    if (port_.PortOpen()) note(port_.setPortOpen(false));
    note(port_.setSettings(trimmed(settings_.BaudRate) + ",n,8,1"));
    port_.setDevicePath(settings_.DevicePath);
    if (settings_.ComPort < std::numeric_limits<int16_t>::min() ||
        settings_.ComPort > std::numeric_limits<int16_t>::max())
        note(PortStatus::failure("Invalid port number " + std::to_string(settings_.ComPort)));
    else
        note(port_.setCommPort(static_cast<int16_t>(settings_.ComPort)));
    note(port_.setHandshaking(0));
    note(port_.setPortOpen(true));
    if (!failed) {
        closedPortReported_ = false;
        return;
    }
    host_.showMessage(lastError, "RS232 Init", MessageIcon::Exclamation);
    link_.LinkReady = false;
}

// Bytes still waiting when a command goes out belong to an earlier reply that came too late;
// taken as the start of this command's reply they would shift every reply after it.
void SerialTransport::SerialSend(const std::string& command) {
    link_.ReplyText.clear();
    link_.ReplyStarted = false;
    link_.ReplyRefused = false;
    port_.discardInput();
    const auto status = port_.Output(command + '\n');
    if (!status.ok) {
        reportSendFailure(status.error);
        return;
    }
    host_.sleepMs(serialPacingMs(settings_.BaudRate, command.size()));
}

// A port that closed would fail every command of an upload: one message says so.
void SerialTransport::reportSendFailure(const std::string& error) {
    if (!port_.PortOpen()) {
        if (closedPortReported_) return;
        closedPortReported_ = true;
    }
    host_.showMessage(error, "RS232 Send Message", MessageIcon::Exclamation);
}

ReplyWait SerialTransport::awaitReply(int tickLimit) {
    link_.SerialTicks = 0;
    while (link_.AwaitingReply && link_.SerialTicks < tickLimit && port_.PortOpen())
        host_.processEvents();
    if (link_.AwaitingReply && !port_.PortOpen()) return ReplyWait::PortClosed;
    if (link_.SerialTicks > tickLimit - 1) return ReplyWait::TimedOut;
    return link_.ReplyRefused ? ReplyWait::Refused : ReplyWait::Complete;
}

std::string SerialTransport::SerialReadLine() {
    return awaitReply(TextReplyTickLimit) == ReplyWait::Complete ? link_.ReplyText : std::string();
}

void SerialTransport::SerialReceive() {
    const int event = port_.CommEvent();
    if (event == SerialPortControl::ComEvReceive) {
        const std::string chunk = port_.Input();
        if (chunk.empty()) return;
        if (link_.BinaryReply)
            SerialReceiveBlock(chunk);
        else
            SerialReceiveLine(chunk);
    } else if (event != SerialPortControl::ComEvSend) {
        lastEventDescription_ = commEventDescription(event);
        commTimerTicksLeft_ = CommTimerTicks;
    }
}

void SerialTransport::startReply() {
    link_.RxExpected = 0;
    link_.RxTotal = 0;
    link_.RxCount = 0;
    link_.RxPrefixCount = 0;
    link_.ReplyRefused = false;
}

bool SerialTransport::storePayload(std::string_view bytes) {
    const size_t room = LinkState::RxBufferSize - static_cast<size_t>(link_.RxCount);
    const size_t stored = std::min(room, bytes.size());
    for (size_t i = 0; i < stored; ++i)
        link_.RxBuffer[static_cast<size_t>(link_.RxCount) + i] = static_cast<uint8_t>(bytes[i]);
    link_.ReplyText.append(bytes.substr(0, stored));
    link_.RxCount += static_cast<int32_t>(stored);
    return stored == bytes.size();
}

void SerialTransport::refuseReply() {
    link_.ReplyRefused = true;
    link_.AwaitingReply = false;
}

void SerialTransport::SerialReceiveLine(std::string_view chunk) {
    if (!link_.ReplyStarted) startReply();
    link_.ReplyStarted = true;
    if (link_.ReplyRefused) return;
    const bool whole = storePayload(chunk);
    link_.RxTotal += static_cast<int32_t>(chunk.size());
    link_.SerialTicks = 0;
    const auto lineFeed = link_.ReplyText.find('\n');
    if (lineFeed != std::string::npos) {
        link_.AwaitingReply = false;
        link_.ReplyText.resize(lineFeed);
        link_.RxTotal -= 1;
    } else if (!whole) {
        refuseReply();  // no line feed within the buffer: the line can never be whole
    }
}

// Collects the 4 prefix bytes, however the chunks split them; returns the rest of the chunk.
std::string_view SerialTransport::takePrefixBytes(std::string_view chunk) {
    while (link_.RxPrefixCount < 4 && !chunk.empty()) {
        link_.RxPrefix[static_cast<size_t>(link_.RxPrefixCount++)] =
            static_cast<uint8_t>(chunk.front());
        chunk.remove_prefix(1);
        if (link_.RxPrefixCount == 4) {
            const auto& p = link_.RxPrefix;
            link_.RxExpected = p[0] + p[1] * 256.0 + p[2] * 65536.0 + p[3] * 16777216.0;
        }
    }
    return chunk;
}

void SerialTransport::SerialReceiveBlock(std::string_view chunk) {
    if (!link_.ReplyStarted) startReply();
    link_.ReplyStarted = true;
    if (link_.ReplyRefused) return;
    link_.SerialTicks = 0;
    link_.RxTotal += static_cast<int32_t>(chunk.size());
    const std::string_view payload = takePrefixBytes(chunk);
    if (link_.RxPrefixCount < 4) return;
    if (link_.RxExpected > static_cast<double>(LinkState::RxBufferSize) || !storePayload(payload)) {
        refuseReply();
        return;
    }
    // Equality on purpose: a block that brings more than it announced never completes.
    if (link_.RxExpected + 4 == link_.RxTotal) link_.AwaitingReply = false;
}

void SerialTransport::closePort() {
    if (port_.PortOpen()) port_.setPortOpen(false);
}

void SerialTransport::onReplyTick() {
    if (commTimerTicksLeft_ > 0) --commTimerTicksLeft_;
}

}  // namespace tracebay::link
