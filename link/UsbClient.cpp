#include "link/UsbClient.h"

#include <algorithm>
#include <array>
#include <vector>

#include "link/ReplyFailure.h"

namespace tracebay::link {

using platform::MessageIcon;

namespace {

constexpr uint8_t StatusRequest = 9;
constexpr uint8_t CommandMessage = 1;
constexpr uint8_t ReplyRequestMessage = 2;
const std::string NoDevice = "Cann't Connect to USB Device";
const std::string ReadFailed = "Cann't Read data from USB Device";
const std::string ReadCaption = "USB Read Message";

}  // namespace

UsbClient::UsbClient(platform::HostServices& host, LinkState& link, UsbLibrary& library)
    : host_(host), link_(link), library_(library) {}

bool UsbClient::statusRequest(uint8_t* status) {
    return library_.Vendor_Request_Read(StatusRequest, 0, 0, 4, status);
}

// A library that could not be loaded at all is named on a second line, so that it is not taken
// for an instrument that is not there.
std::string UsbClient::noDevice() const {
    const std::string why = library_.loadFailure();
    return why.empty() ? NoDevice : NoDevice + "\r" + why;
}

void UsbClient::readFailed(const std::string& text) {
    host_.showMessage(text, ReadCaption, MessageIcon::Exclamation);
}

void UsbClient::noteReadFailure(uint32_t announced, uint32_t capacity) {
    lastFailure_ =
        announced > capacity ? failure::tooLong(announced, capacity) : failure::ReadFailed;
}

void UsbClient::UsbNextTag() {
    ++UsbTag_;
    if (UsbTag_ == 255) UsbTag_ = 0;
}

void UsbClient::UsbOpen() {
    std::array<uint8_t, 5> status{};
    if (statusRequest(status.data())) {
        link_.LinkReady = true;
        return;
    }
    host_.showMessage(noDevice(), "USB Init", MessageIcon::Exclamation);
    link_.LinkReady = false;
}

bool UsbClient::UsbSend(const std::string& command) {
    if (command.size() > CommandCapacity) {
        // Cutting a command could turn it into another one; it is not sent at all.
        host_.showMessage(
            "Command longer than " + std::to_string(CommandCapacity) + " characters not sent",
            "USB Send Message", MessageIcon::Exclamation);
        return false;
    }
    std::array<uint8_t, CommandCapacity> buffer{};
    std::copy(command.begin(), command.end(), buffer.begin());
    UsbNextTag();
    if (!library_.WriteUSB(CommandMessage, UsbTag_, static_cast<uint32_t>(command.size()),
                           buffer.data()))
        host_.showMessage(noDevice(), "USB Send Message", MessageIcon::Exclamation);
    return true;
}

bool UsbClient::UsbAwaitReply() {
    std::array<uint8_t, 11> status{};
    link_.UsbTicks = 0;
    lastFailure_.clear();
    while (status[0] == 0 && link_.UsbTicks < ReplyTickLimit) {
        if (!statusRequest(status.data())) {
            readFailed(noDevice());
            lastFailure_ = failure::NoDevice;
            return false;
        }
        host_.processEvents();
    }
    if (link_.UsbTicks > ReplyTickLimit - 1) {
        readFailed("Read USB time out");
        lastFailure_ = failure::TimedOut;
        return false;
    }
    if (!statusRequest(status.data())) {
        readFailed(noDevice());
        lastFailure_ = failure::NoDevice;
        return false;
    }
    UsbNextTag();
    library_.WriteUSB(ReplyRequestMessage, UsbTag_, 0, nullptr);
    UsbNextTag();
    return true;
}

std::string UsbClient::UsbReadLine() {
    if (!UsbAwaitReply()) return {};
    std::array<uint8_t, TextReplyCapacity> buffer{};
    uint32_t length = 0;
    if (!library_.ReadUSB(length, buffer.data(), TextReplyCapacity)) {
        readFailed(ReadFailed);
        noteReadFailure(length, TextReplyCapacity);
        return {};
    }
    length = std::min<uint32_t>(length, TextReplyCapacity);
    return std::string(buffer.begin(), buffer.begin() + length);
}

std::string UsbClient::UsbReadBlock(int32_t& length) {
    if (!UsbAwaitReply()) return {};
    std::vector<uint8_t> buffer(BlockCapacity);
    uint32_t received = 0;
    if (!library_.ReadUSB(received, buffer.data(), BlockCapacity)) {
        readFailed(ReadFailed);
        noteReadFailure(received, BlockCapacity);
        return {};
    }
    received = std::min<uint32_t>(received, BlockCapacity);
    length = static_cast<int32_t>(received);
    std::string text(buffer.begin(), buffer.begin() + received);
    for (uint32_t i = 1; i <= received; ++i) link_.RawSamples[i] = buffer[i - 1];
    return text;
}

// The record keeps the first 112 bytes of the block; a later firmware may add fields after them.
// A read that fails half-way, or a block too short for the record, must not leave the record
// half old, half new: the reply is read aside and copied only when it came whole.
bool UsbClient::UsbReadSystemBlock() {
    if (!UsbAwaitReply()) return false;
    std::vector<uint8_t> block(SystemBlockCapacity);
    uint32_t length = 0;
    if (!library_.ReadUSB(length, block.data(), SystemBlockCapacity)) {
        noteReadFailure(length, SystemBlockCapacity);
        return false;
    }
    if (length < LinkState::SystemDataSize) {
        lastFailure_ = failure::tooShort(length, LinkState::SystemDataSize);
        return false;
    }
    std::copy_n(block.begin(), LinkState::SystemDataSize, link_.SystemDataRecord.begin());
    return true;
}

}  // namespace tracebay::link
