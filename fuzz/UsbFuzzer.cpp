// The USB transfer algorithms of the link library, over the device-access seam, with a device
// that answers anything: packets of any length, headers with any message ID and announced
// length, short packets, failed transfers, control replies of any size. Every caller buffer
// is exactly as large as the caller says, so that a byte written past it is a finding; the
// program's readers (text line, sample block, system block) run on top, as they do through the
// loaded library.
//
// Input: records to the end, each an operation and its arguments; the device's answers are
// read from the same input as the calls ask for them.
//   op % 6 = 0: WriteUSB        message ID, tag (1 byte each), size (2 bytes), the data
//   op % 6 = 1: ReadUSB         capacity (2 bytes)
//   op % 6 = 2: Vendor_Request_Read  request (1 byte), value, index, length (2 bytes each)
//   op % 6 = 3: Class_Request_Read   request, value, index, length, selector (1 byte)
//   op % 6 = 4: control write   vendor or class (1 byte), request, value, index, length
//   op % 6 = 5: program reader  which one (1 byte): line, block or system block
// Device answers: opening (1 byte, 0xFE: no device); a write (1 byte, 0xFF: fails);
// a read (1 byte, 0xFF: fails; then a length, 2 bytes, cut to what was asked, and the bytes);
// a control request (1 byte, 0xFF: fails; then a length, 2 bytes, cut to the output buffer,
// and the bytes).

#include <memory>
#include <vector>

#include "acquisition/Acquisition.h"
#include "fuzz/FuzzInput.h"
#include "link/UsbTransport.h"
#include "platform/VirtualHost.h"
#include "tests/support/LinkedUsbLibrary.h"
#include "usblink/UsbLink.h"

using namespace tracebay;

namespace {

constexpr uint8_t Fails = 0xFF;
constexpr uint8_t Absent = 0xFE;

class FuzzedDevice : public usblink::DeviceAccess {
public:
    explicit FuzzedDevice(fuzz::FuzzInput& input) : input_(input) {}

    usblink::Handle OpenDevice(const usblink::Guid&, uint32_t, uint32_t& error) override {
        error = 0;
        if (input_.empty() || input_.byte() == Absent) return usblink::InvalidHandle;
        return Handle;
    }
    void closeHandle(usblink::Handle handle) override {
        fuzz::require(handle == Handle, "only the open handle is closed");
    }
    bool writeFile(usblink::Handle handle, const uint8_t*, uint32_t length,
                   uint32_t& written) override {
        fuzz::require(handle == Handle, "writes go to the open handle");
        written = 0;
        if (input_.empty() || input_.byte() == Fails) return false;
        written = length;
        return true;
    }
    bool readFile(usblink::Handle handle, uint8_t* data, uint32_t length, uint32_t& read) override {
        fuzz::require(handle == Handle, "reads come from the open handle");
        return answer(data, length, read);
    }
    bool deviceIoControl(usblink::Handle handle, uint32_t, const uint8_t*, uint32_t,
                         uint8_t* output, uint32_t outputLength, uint32_t& returned) override {
        fuzz::require(handle == Handle, "requests go to the open handle");
        return answer(output, outputLength, returned);
    }
    void messageBox(const char*, const char*) override {}

private:
    static constexpr usblink::Handle Handle = 7;

    // As a backend answers: never more than asked for.
    bool answer(uint8_t* data, uint32_t room, uint32_t& length) {
        length = 0;
        if (input_.empty() || input_.byte() == Fails) return false;
        const std::string bytes = input_.bytes(std::min<uint32_t>(input_.word(), room));
        std::copy(bytes.begin(), bytes.end(), data);
        length = static_cast<uint32_t>(bytes.size());
        return true;
    }

    fuzz::FuzzInput& input_;
};

// A caller's buffer of exactly `size` bytes, on the heap so that the sanitizer sees its end.
std::unique_ptr<uint8_t[]> buffer(size_t size) { return std::make_unique<uint8_t[]>(size); }

void write(usblink::UsbLink& link, fuzz::FuzzInput& input) {
    const uint8_t messageId = input.byte();
    const uint8_t tag = input.byte();
    const uint16_t size = input.word();
    const std::string bytes = input.bytes(size);
    const auto data = buffer(size);
    std::copy(bytes.begin(), bytes.end(), data.get());
    link.WriteUSB(messageId, tag, size, data.get());
}

void read(usblink::UsbLink& link, fuzz::FuzzInput& input) {
    const uint16_t capacity = input.word();
    const auto destination = buffer(capacity);
    uint32_t length = 0;
    if (link.ReadUSB(&length, destination.get(), capacity))
        fuzz::require(length > 0 && length <= capacity, "a read reply fits its buffer");
}

void controlRead(usblink::UsbLink& link, fuzz::FuzzInput& input, bool vendor) {
    const uint8_t request = input.byte();
    const uint16_t value = input.word();
    const uint16_t index = input.word();
    const uint16_t length = input.word();
    const auto destination = buffer(length);
    if (vendor)
        link.Vendor_Request_Read(request, value, index, length, destination.get());
    else
        link.Class_Request_Read(request, value, index, length, destination.get(), input.byte());
}

void controlWrite(usblink::UsbLink& link, fuzz::FuzzInput& input) {
    const bool vendor = input.byte() % 2 == 0;
    const uint8_t request = input.byte();
    const uint16_t value = input.word();
    const uint16_t index = input.word();
    const uint16_t length = input.word();
    if (vendor)
        link.Vendor_Request_Write(request, value, index, length);
    else
        link.Class_Request_Write(request, value, index, length, input.byte());
}

// The readers of a text line, a sample block and the system block.
void programRead(link::UsbTransport& transport, fuzz::FuzzInput& input) {
    constexpr size_t capacities[] = {link::UsbTransport::TextReplyCapacity,
                                     acquisition::Acquisition::BlockCapacity,
                                     acquisition::Acquisition::SystemBlockCapacity};
    const size_t capacity = capacities[input.byte() % 3];
    const auto reply = transport.readBlock(capacity);
    fuzz::require(reply.value.size() <= capacity && (reply.ok() || reply.value.empty()),
                  "a reply fits its reader, and a failed one brings nothing");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput input(data, size);
    FuzzedDevice device(input);
    usblink::UsbLink usb(device);
    testing::LinkedUsbLibrary library(usb);
    // Every event pump is one reply tick: a reply that never becomes ready costs 50 polls.
    platform::VirtualHost host(platform::HostServices::ReplyTickMs);
    link::UsbTransport transport(host, library);
    host.setReplyTickHandler([&transport] { transport.onReplyTick(); });
    while (!input.empty()) {
        switch (input.byte() % 6) {
            case 0: write(usb, input); break;
            case 1: read(usb, input); break;
            case 2: controlRead(usb, input, true); break;
            case 3: controlRead(usb, input, false); break;
            case 4: controlWrite(usb, input); break;
            default: programRead(transport, input); break;
        }
    }
    return 0;
}
