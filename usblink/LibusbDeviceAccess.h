#pragma once

#include <memory>
#include <string>
#include <vector>

#include "usblink/DeviceAccess.h"

struct libusb_context;
struct libusb_device_handle;

namespace usblink {

// The device through libusb: the instrument is the first USB Test and Measurement interface
// (class 0xFE, subclass 0x03) of a device whose manufacturer string begins with "KAVLO", or
// else of any device, in enumeration order. Opening takes the interface from a bound
// kernel driver and closing gives it back; as that re-creates the driver's device node each
// time, the device stays open between calls. The control codes become control transfers.
// Every transfer has a time-out.
class LibusbDeviceAccess : public DeviceAccess {
public:
    static constexpr unsigned BulkTimeoutMs = 3000;
    static constexpr unsigned ControlTimeoutMs = 1000;

    // `recordFolder` keeps a note of each interface taken from its kernel driver until it is
    // given back, so that a process that died holding it does not keep it from the driver; an
    // empty folder keeps no notes.
    explicit LibusbDeviceAccess(std::string recordFolder);
    ~LibusbDeviceAccess() override;

    Handle OpenDevice(const Guid& interfaceClass, uint32_t memberIndex, uint32_t& error) override;
    std::string openProblem() const override { return openProblem_; }
    void closeHandle(Handle handle) override;
    bool writeFile(Handle handle, const uint8_t* data, uint32_t length, uint32_t& written) override;
    bool readFile(Handle handle, uint8_t* data, uint32_t length, uint32_t& read) override;
    bool deviceIoControl(Handle handle, uint32_t code, const uint8_t* input, uint32_t inputLength,
                         uint8_t* output, uint32_t outputLength, uint32_t& returned) override;
    void messageBox(const char* text, const char* caption) override;
    bool keepsDeviceOpen() const override { return true; }

    // Where the notes go by default: the user's runtime folder, else a folder of the user's own
    // under the home folder, never one that other users may write to; empty (no notes) when
    // there is none.
    static std::string defaultRecordFolder();
    static std::string recordFolder(const char* runtimeFolder, const char* homeFolder);

    // The line openProblem() gives for a libusb error in opening the device at `deviceNode`.
    static std::string problemText(int libusbError, const std::string& deviceNode);

private:
    struct OpenInterface {
        libusb_context* context = nullptr;
        libusb_device_handle* device = nullptr;
        int interfaceNumber = 0;
        uint8_t bulkIn = 0;
        uint8_t bulkOut = 0;
        uint16_t inPacketSize = 64;
        bool giveBackToDriver = false;
        std::string record;
        std::vector<uint8_t> readAhead;  // bytes of a packet longer than the read asked for
        bool transferEnded = false;      // the device's last transfer ended with a short packet
    };

    bool isOpen(Handle handle) const { return open_ && handle == OpenHandle; }
    void release();
    void forgetEarlierReply();
    int takeInterface(OpenInterface& open);

    static constexpr Handle OpenHandle = 1;
    std::string recordFolder_;
    std::unique_ptr<OpenInterface> open_;
    std::string openProblem_;
};

}  // namespace usblink
