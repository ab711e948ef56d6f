#pragma once

#include <deque>
#include <string>
#include <vector>

#include "usblink/DeviceAccess.h"

namespace usblink {

// The device-access seam played by a script: every call is recorded byte for byte, reads are
// served from a queue of packets, and the device can be absent or fail.
class ScriptedDeviceAccess : public DeviceAccess {
public:
    struct Read {
        uint32_t asked;
    };
    struct Ioctl {
        uint32_t code;
        std::string input;
        uint32_t inputLength;
        uint32_t outputLength;
    };

    Handle OpenDevice(const Guid& interfaceClass, uint32_t memberIndex, uint32_t& error) override {
        openedClasses.push_back(interfaceClass.data1);
        openedMembers.push_back(memberIndex);
        if (!present) {
            error = 259;
            return InvalidHandle;
        }
        error = 0;
        ++opens;
        isOpen = true;
        return 42;
    }
    std::string openProblem() const override { return present ? "" : "no instrument found"; }
    void closeHandle(Handle handle) override {
        EXPECT_EQ(handle, 42);
        ++closes;
        isOpen = false;
    }
    bool writeFile(Handle handle, const uint8_t* data, uint32_t length,
                   uint32_t& written) override {
        EXPECT_TRUE(isOpen && handle == 42);
        writes.emplace_back(data, data + length);
        written = writesFail ? 0 : length;
        return !writesFail;
    }
    bool readFile(Handle handle, uint8_t* data, uint32_t length, uint32_t& read) override {
        EXPECT_TRUE(isOpen && handle == 42);
        reads.push_back({length});
        clock += std::chrono::milliseconds(readMs);
        read = 0;
        if (packets.empty()) return false;
        std::string packet = packets.front();
        packets.pop_front();
        EXPECT_LE(packet.size(), length) << "script gives more than the read asks";
        read = static_cast<uint32_t>(packet.size());
        std::copy(packet.begin(), packet.end(), data);
        return true;
    }
    bool deviceIoControl(Handle handle, uint32_t code, const uint8_t* input, uint32_t inputLength,
                         uint8_t* output, uint32_t outputLength, uint32_t& returned) override {
        EXPECT_TRUE(isOpen && handle == 42);
        ioctls.push_back({code, std::string(input, input + 7), inputLength, outputLength});
        if (ioctlFails) return false;
        std::copy(ioctlAnswer.begin(), ioctlAnswer.end(), output);
        returned = static_cast<uint32_t>(ioctlAnswer.size());
        return true;
    }
    void messageBox(const char* text, const char* caption) override {
        boxes.push_back(std::string(caption) + "|" + text);
    }

    std::chrono::steady_clock::time_point now() const override { return clock; }

    bool present = true;
    int readMs = 0;  // the time each read takes
    std::chrono::steady_clock::time_point clock{};
    bool writesFail = false;
    bool ioctlFails = false;
    std::deque<std::string> packets;
    std::string ioctlAnswer;

    bool isOpen = false;
    int opens = 0;
    int closes = 0;
    std::vector<uint32_t> openedClasses;
    std::vector<uint32_t> openedMembers;
    std::vector<std::string> writes;
    std::vector<Read> reads;
    std::vector<Ioctl> ioctls;
    std::vector<std::string> boxes;
};

}  // namespace usblink
