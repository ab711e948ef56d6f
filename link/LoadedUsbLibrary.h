#pragma once

#include <string>
#include <vector>

#include "link/UsbLibrary.h"
#include "platform/LibraryLoader.h"

namespace tracebay::link {

// The USB link library, loaded by name at the first call. A library or function that cannot be
// found makes the call fail, as a device that does not answer would; loadFailure() tells the two
// apart. A library without the bounded read (an older copy with only the seven original exports)
// is refused: its ReadUSB writes as many bytes as the device announces, and no buffer is large
// enough for that. One without USBOpenProblem is taken; it just cannot say why it found no
// instrument.
class LoadedUsbLibrary : public UsbLibrary {
public:
    static constexpr const char* LibraryName = "KavloUsbLink";

    explicit LoadedUsbLibrary(std::vector<std::string> folders);

    bool WriteUSB(uint8_t messageId, uint8_t tag, uint32_t transferSize,
                  const uint8_t* data) override;
    bool ReadUSB(uint32_t& length, uint8_t* destination, uint32_t capacity) override;
    bool Vendor_Request_Read(uint8_t request, uint16_t value, uint16_t index, uint16_t length,
                             uint8_t* destination) override;
    std::string loadFailure() const override;
    std::string openProblem() override;

private:
    template <typename Proc>
    Proc function(const char* name) {
        return reinterpret_cast<Proc>(loader_.resolve(name));
    }

    platform::LibraryLoader loader_;
};

}  // namespace tracebay::link
