#include "link/UsbTransport.h"

#include <algorithm>
#include <array>
#include <limits>

namespace tracebay::link {
namespace {

constexpr uint8_t StatusRequest = 9;
constexpr uint8_t CommandMessage = 1;
constexpr uint8_t ReplyRequestMessage = 2;
constexpr const char* ReadCaption = "USB Read Message";
constexpr const char* SendCaption = "USB Send Message";

// What the library found when it looked for the instrument, and where to read about access.
std::string openProblemHelp(const std::string& problem) {
    if (problem.empty()) return {};
    return problem + " (see \"USB access on Linux\" in the README)";
}

}  // namespace

bool UsbTransport::statusRequest(uint8_t* status) {
    return library_.Vendor_Request_Read(StatusRequest, 0, 0, 4, status);
}

// What stands in the way comes on a second line: a library that would not load, or what the
// library found when it looked for the instrument, with where to read about access to it.
LinkError UsbTransport::noDevice(const char* caption) {
    std::string detail = library_.loadFailure();
    if (detail.empty()) detail = openProblemHelp(library_.openProblem());
    return LinkError{LinkFailure::NoDevice, caption, detail};
}

void UsbTransport::UsbNextTag() {
    ++UsbTag_;
    if (UsbTag_ == 255) UsbTag_ = 0;
}

std::optional<LinkError> UsbTransport::open() {
    std::array<uint8_t, 5> status{};
    if (statusRequest(status.data())) return std::nullopt;
    return noDevice("USB Init");
}

std::optional<LinkError> UsbTransport::send(const std::string& command) {
    // Cutting a command could turn it into another one; it is not sent at all.
    if (command.size() > CommandCapacity)
        return LinkError{
            LinkFailure::CommandTooLong, SendCaption, {}, command.size(), CommandCapacity};
    std::array<uint8_t, CommandCapacity> buffer{};
    std::copy(command.begin(), command.end(), buffer.begin());
    UsbNextTag();
    if (!library_.WriteUSB(CommandMessage, UsbTag_, static_cast<uint32_t>(command.size()),
                           buffer.data()))
        return noDevice(SendCaption);
    return std::nullopt;
}

std::optional<LinkError> UsbTransport::awaitReply() {
    std::array<uint8_t, 11> status{};
    ticks_ = 0;
    while (status[0] == 0 && ticks_ < ReplyTickLimit) {
        if (!statusRequest(status.data())) return noDevice(ReadCaption);
        host_.processEvents();
        if (host_.givingUp()) return LinkError{LinkFailure::Abandoned};
    }
    if (ticks_ > ReplyTickLimit - 1) return LinkError{LinkFailure::ReplyTimedOut, ReadCaption};
    if (!statusRequest(status.data())) return noDevice(ReadCaption);
    UsbNextTag();
    library_.WriteUSB(ReplyRequestMessage, UsbTag_, 0, nullptr);
    UsbNextTag();
    return std::nullopt;
}

Reply<Bytes> UsbTransport::read(size_t capacity) {
    if (auto error = awaitReply()) return {{}, std::move(error)};
    const auto limit =
        static_cast<uint32_t>(std::min<size_t>(capacity, std::numeric_limits<uint32_t>::max()));
    Bytes bytes(limit);
    uint32_t length = 0;
    // A device that went away in the middle of its reply fails the next command.
    if (!library_.ReadUSB(length, bytes.data(), limit)) {
        if (length > limit)
            return {{}, LinkError{LinkFailure::TooLong, ReadCaption, {}, length, limit}};
        return {{}, LinkError{LinkFailure::ReadFailed, ReadCaption}};
    }
    bytes.resize(std::min(length, limit));
    return {std::move(bytes), std::nullopt};
}

Reply<std::string> UsbTransport::readLine() {
    auto reply = read(TextReplyCapacity);
    return {std::string(reply.value.begin(), reply.value.end()), std::move(reply.error)};
}

Reply<Bytes> UsbTransport::readBlock(size_t capacity) { return read(capacity); }

void UsbTransport::onReplyTick() {
    if (ticks_ < std::numeric_limits<int>::max()) ++ticks_;
}

}  // namespace tracebay::link
