// The serial receive path: whatever the instrument's line delivers, in chunks of any size and
// at any pace, while the command channel waits for a text reply or a block. A reply that
// completes is exactly what was sent: a text reply the bytes before the first line feed, a
// block exactly the payload its prefix announced. When the line neither pauses for long nor
// reports an event, a reply that can complete does.
//
// Input: one byte, even for a text reply and odd for a block, then records to the end:
//   kind % 4 = 0 or 1: pause (1 byte, 8 ms steps), length (2 bytes), that many bytes
//   kind % 4 = 2:      pause, count (2 bytes, doubled), one byte sent count times
//   kind % 4 = 3:      event code (2 bytes): 1099 loses the port, others are raised as they are

#include <algorithm>
#include <deque>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "link/CommandChannel.h"
#include "platform/VirtualHost.h"

using namespace tracebay;

namespace {

// A serial port whose far end is the fuzzer.
class FuzzedPort : public platform::SerialPortControl {
public:
    void deliver(const std::string& bytes) {
        input_ += bytes;
        raiseCommEvent(ComEvReceive);
    }
    void raise(int code) {
        if (code == ComEvPortLost)
            deviceLost();
        else
            raiseCommEvent(code);
    }

protected:
    platform::PortStatus openDevice(const std::string&, const platform::SerialLineSettings&,
                                    int) override {
        return platform::PortStatus::success();
    }
    void closeDevice() override {}
    platform::PortStatus writeDevice(const std::string&) override {
        return platform::PortStatus::success();
    }
    std::string readDevice() override { return std::exchange(input_, {}); }

private:
    std::string input_;
};

struct NoUsb : link::UsbLibrary {
    bool WriteUSB(uint8_t, uint8_t, uint32_t, const uint8_t*) override { return false; }
    bool ReadUSB(uint32_t&, uint8_t*, uint32_t) override { return false; }
    bool Vendor_Request_Read(uint8_t, uint16_t, uint16_t, uint16_t, uint8_t*) override {
        return false;
    }
};

struct Chunk {
    int pauseMs;
    std::string bytes;
};
struct Event {
    int code;
};
using Step = std::variant<Chunk, Event>;

// Chunks without bytes are left out: they would be no receive event at all.
std::deque<Step> lineFrom(fuzz::FuzzInput& input) {
    std::deque<Step> steps;
    while (!input.empty()) {
        const int kind = input.byte() % 4;
        if (kind == 3) {
            steps.push_back(Event{input.word()});
            continue;
        }
        const int pauseMs = input.byte() * 8;
        std::string bytes;
        if (kind == 2) {
            const size_t count = size_t{input.word()} * 2;
            bytes.assign(count, static_cast<char>(input.byte()));
        } else {
            bytes = input.bytes(input.word());
        }
        if (!bytes.empty()) steps.push_back(Chunk{pauseMs, std::move(bytes)});
    }
    return steps;
}

// Plays the steps on the port on the virtual clock, at most one chunk per event pump.
class Line {
public:
    Line(platform::VirtualHost& host, FuzzedPort& port, std::deque<Step> steps)
        : host_(host), port_(port), steps_(std::move(steps)) {
        host_.onEveryPump([this] { pump(); });
    }

    // Everything delivered so far, in order.
    const std::string& delivered() const { return delivered_; }

private:
    void pump() {
        if (!started_) lastMs_ = host_.nowMs();
        started_ = true;
        while (!steps_.empty()) {
            if (const auto* event = std::get_if<Event>(&steps_.front())) {
                const int code = event->code;
                steps_.pop_front();
                port_.raise(code);
                continue;
            }
            const auto& chunk = std::get<Chunk>(steps_.front());
            if (host_.nowMs() - lastMs_ < chunk.pauseMs) return;
            const std::string bytes = chunk.bytes;
            steps_.pop_front();
            lastMs_ = host_.nowMs();
            delivered_ += bytes;
            port_.deliver(bytes);
            return;
        }
    }

    platform::VirtualHost& host_;
    FuzzedPort& port_;
    std::deque<Step> steps_;
    std::string delivered_;
    bool started_ = false;
    int64_t lastMs_ = 0;
};

// What the line will bring, when only bytes come (no events) and never after a long pause:
// then nothing else decides the outcome.
struct Foreseen {
    bool quiet = true;
    std::string bytes;
    std::vector<size_t> chunkEnds;  // the byte count after each chunk
};

Foreseen foresee(const std::deque<Step>& steps) {
    Foreseen line;
    for (const auto& step : steps) {
        const auto* chunk = std::get_if<Chunk>(&step);
        if (!chunk) {
            line.quiet = false;
            continue;
        }
        line.bytes += chunk->bytes;
        line.chunkEnds.push_back(line.bytes.size());
    }
    return line;
}

// The text before the first line feed, when it fits the receive buffer.
std::optional<std::string> firstLine(const std::string& bytes) {
    const auto lineFeed = bytes.find('\n');
    if (lineFeed == std::string::npos || lineFeed >= link::LinkState::RxBufferSize)
        return std::nullopt;
    return bytes.substr(0, lineFeed);
}

void checkTextReply(const std::string& reply, const Line& line, const Foreseen& foreseen) {
    if (!reply.empty())
        fuzz::require(reply == firstLine(line.delivered()),
                      "a text reply is the bytes before the first line feed");
    if (foreseen.quiet)
        fuzz::require(reply == firstLine(foreseen.bytes).value_or(""), "a whole line is taken");
}

uint32_t announced(const std::string& bytes) {
    uint32_t length = 0;
    for (int i = 3; i >= 0; --i) length = length << 8 | static_cast<uint8_t>(bytes[i]);
    return length;
}

// A block completes when its payload fits and a chunk ends exactly where the payload ends.
bool blockCanComplete(const Foreseen& line) {
    if (line.bytes.size() < 4) return false;
    const uint32_t length = announced(line.bytes);
    if (length > link::LinkState::RxBufferSize) return false;
    const auto& ends = line.chunkEnds;
    return std::find(ends.begin(), ends.end(), size_t{length} + 4) != ends.end();
}

void checkBlock(link::ReplyWait outcome, const link::LinkState& link, const Line& line,
                const Foreseen& foreseen) {
    const std::string& sent = line.delivered();
    if (outcome == link::ReplyWait::Complete) {
        fuzz::require(sent.size() >= 4, "a block completes only after its prefix");
        const uint32_t length = announced(sent);
        fuzz::require(link.RxExpected == length && sent.size() == size_t{length} + 4 &&
                          link.RxCount == static_cast<int32_t>(length),
                      "a finished block has exactly its announced length");
        fuzz::require(
            std::equal(link.RxBuffer.begin(), link.RxBuffer.begin() + length, sent.begin() + 4,
                       [](uint8_t kept, char byte) { return kept == static_cast<uint8_t>(byte); }),
            "a finished block holds the bytes sent");
    }
    if (foreseen.quiet)
        fuzz::require((outcome == link::ReplyWait::Complete) == blockCanComplete(foreseen),
                      "a whole block is taken, and only a whole block");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput input(data, size);
    const bool block = input.byte() % 2 == 1;
    platform::VirtualHost host(10);
    FuzzedPort port;
    NoUsb usb;
    link::CommandChannel channel(host, port, usb);
    channel.IoType = link::CommandChannel::IoTypeSerial;
    channel.serial().settings().DevicePath = "fuzzed";
    channel.serial().SerialOpen();
    auto steps = lineFrom(input);
    const Foreseen foreseen = foresee(steps);
    Line line(host, port, std::move(steps));
    if (!block) {
        checkTextReply(channel.QueryCommand(":TRIGGER:STATUS?"), line, foreseen);
        return 0;
    }
    // As the acquisition waits for a sample block.
    channel.SendCommand(":WAVEFORM:DATA? CHANNEL1");
    link::LinkState& link = channel.state();
    link.AwaitingReply = true;
    link.BinaryReply = true;
    const auto outcome = channel.serial().awaitReply(link::SerialTransport::BlockReplyTickLimit);
    checkBlock(outcome, link, line, foreseen);
    return 0;
}
