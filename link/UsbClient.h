#pragma once

#include <cstdint>
#include <string>

#include "link/LinkState.h"
#include "link/UsbLibrary.h"
#include "platform/HostServices.h"

namespace tracebay::link {

// The program's side of the USB link: commands as USBTMC messages, the reply-ready poll, and
// readers for text replies, waveform blocks and the system block.
class UsbClient {
public:
    static constexpr size_t CommandCapacity = 257;
    static constexpr size_t TextReplyCapacity = 257;
    static constexpr size_t BlockCapacity = LinkState::RawSamplesSize - 1;
    static constexpr size_t SystemBlockCapacity = 4096;
    static constexpr int ReplyTickLimit = 50;

    UsbClient(platform::HostServices& host, LinkState& link, UsbLibrary& library);

    void UsbOpen();
    // False when the command is too long to send and nothing went out (after its message); a
    // failed write shows its message and still returns true, as the reply read that follows
    // then fails on its own.
    bool UsbSend(const std::string& command);
    std::string UsbReadLine();
    // The block's bytes as text, also stored in RawSamples[1..]; `length` is set on success.
    std::string UsbReadBlock(int32_t& length);
    // Fills SystemDataRecord from a whole block of at least its size; false otherwise.
    bool UsbReadSystemBlock();

    void UsbNextTag();
    bool UsbAwaitReply();
    uint8_t UsbTag() const { return UsbTag_; }
    // Why the last reply did not come whole; empty when it did.
    const std::string& lastFailure() const { return lastFailure_; }

private:
    bool statusRequest(uint8_t* status);
    std::string noDevice() const;
    void readFailed(const std::string& text);
    void noteReadFailure(uint32_t announced, uint32_t capacity);

    platform::HostServices& host_;
    LinkState& link_;
    UsbLibrary& library_;
    uint8_t UsbTag_ = 0;
    std::string lastFailure_;
};

}  // namespace tracebay::link
