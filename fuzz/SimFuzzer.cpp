// The simulated instrument, fed any script through each of its faces: the command interpreter,
// the serial face and the USB device side. Without faults the faces agree: the serial face
// frames exactly the interpreter's replies, and the USB device side carries them behind their
// bulk-in headers. The raw input also goes to the USB device side as one bulk-out transfer, as
// a host that sends anything would.
//
// Input: text lines. "#model NAME", "#preset NAME" and "#fault FAULT" (the simulator's --fault
// values) set the instrument up; every other line ended by a line feed is a command.

#include <optional>
#include <string_view>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "sim/Presets.h"
#include "sim/SerialFace.h"
#include "sim/UsbtmcDevice.h"

using namespace tracebay;

namespace {

// Padding a block further is no new behaviour, only a slower run.
constexpr size_t MaxOversize = 1 << 20;

struct Script {
    sim::Identity identity;
    sim::InstrumentState state = sim::defaultState();
    sim::Faults faults;
    bool faulty = false;
    std::vector<std::string> commands;
};

void setUp(Script& script, std::string_view directive) {
    const auto value = [&](std::string_view name) -> std::optional<std::string> {
        if (directive.substr(0, name.size()) != name) return std::nullopt;
        return std::string(directive.substr(name.size()));
    };
    if (const auto model = value("#model "))
        script.identity.model = *model;
    else if (const auto preset = value("#preset "))
        script.state = sim::presetState(*preset).value_or(script.state);
    else if (const auto fault = value("#fault "))
        script.faulty = sim::applyFault(script.faults, *fault) || script.faulty;
    script.faults.oversize = std::min(script.faults.oversize, MaxOversize);
}

Script scriptFrom(const std::string& text) {
    Script script;
    size_t start = 0;
    for (auto end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.rfind('#', 0) == 0)
            setUp(script, line);
        else
            script.commands.push_back(line);
    }
    return script;
}

using Replies = std::vector<std::optional<sim::Reply>>;

// A reply as the serial line carries it.
std::string framed(const sim::Reply& reply) {
    if (reply.kind == sim::Reply::Kind::Text) return reply.bytes + "\n";
    return sim::lengthPrefix(static_cast<uint32_t>(reply.bytes.size())) + reply.bytes;
}

// ... and as a USB reply's payload does.
std::string usbPayload(const sim::Reply& reply) {
    return reply.kind == sim::Reply::Kind::Text ? reply.bytes + "\n" : reply.bytes;
}

std::string usbHeader(uint8_t messageId, uint8_t tag, uint32_t size) {
    return {static_cast<char>(messageId),
            static_cast<char>(tag),
            static_cast<char>(~tag),
            0,
            static_cast<char>(size),
            static_cast<char>(size >> 8),
            static_cast<char>(size >> 16),
            static_cast<char>(size >> 24),
            1,
            0,
            0,
            0};
}

bool bulkOut(sim::UsbtmcDevice& device, const std::string& bytes) {
    return device.bulkOut(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// Whatever the device has to send, read as the host reads it: a first packet, then chunks.
std::string bulkInAll(sim::UsbtmcDevice& device) {
    std::string received;
    for (size_t asked = 64; const auto packet = device.bulkIn(asked); asked = 4096) {
        fuzz::require(packet->size() <= asked, "a bulk-in packet is no longer than asked for");
        if (packet->empty()) break;
        received += *packet;
    }
    return received;
}

// The interpreter's replies, one for each command.
Replies interpreted(const Script& script) {
    sim::Instrument instrument(script.identity, script.state);
    Replies replies;
    for (const auto& command : script.commands) replies.push_back(instrument.execute(command));
    return replies;
}

void checkSerialFace(const Script& script, const Replies& replies) {
    sim::Instrument instrument(script.identity, script.state);
    sim::SerialFace face(instrument, script.faults);
    std::string sent;
    for (const auto& command : script.commands) sent += command + "\n";
    // In two pieces, so that a command can arrive split.
    std::string written;
    for (const auto& piece : {sent.substr(0, sent.size() / 2), sent.substr(sent.size() / 2)})
        for (const auto& write : face.receive(piece)) written += write.bytes;
    if (script.faulty) return;
    std::string expected;
    for (const auto& reply : replies)
        if (reply) expected += framed(*reply);
    fuzz::require(written == expected, "the serial face frames the interpreter's replies");
}

void checkUsbDevice(const Script& script, const Replies& replies, const std::string& raw) {
    sim::Instrument instrument(script.identity, script.state);
    sim::UsbtmcDevice device(instrument, script.faults);
    uint8_t tag = 0;
    for (size_t i = 0; i < script.commands.size(); ++i) {
        const std::string& command = script.commands[i];
        bulkOut(device, usbHeader(1, ++tag, static_cast<uint32_t>(command.size())) + command);
        device.vendorRead(sim::UsbtmcDevice::StatusRequest, 0, 0, 4);
        bulkOut(device, usbHeader(2, ++tag, 64));
        const std::string received = bulkInAll(device);
        if (script.faulty || !replies[i]) continue;
        fuzz::require(received.size() >= sim::UsbtmcDevice::HeaderSize &&
                          received.substr(sim::UsbtmcDevice::HeaderSize) == usbPayload(*replies[i]),
                      "the USB device side carries the interpreter's reply");
    }
    bulkOut(device, raw);
    bulkInAll(device);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput input(data, size);
    const std::string raw = input.rest();
    const Script script = scriptFrom(raw);
    const auto replies = interpreted(script);
    checkSerialFace(script, replies);
    checkUsbDevice(script, replies, raw);
    return 0;
}
