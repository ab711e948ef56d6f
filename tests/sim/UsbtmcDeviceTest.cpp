#include "sim/UsbtmcDevice.h"

#include <gtest/gtest.h>

namespace tracebay::sim {
namespace {

std::string header(uint8_t id, uint8_t tag, uint32_t size, uint8_t attributes, uint8_t byte9 = 0) {
    return {static_cast<char>(id),
            static_cast<char>(tag),
            static_cast<char>(~tag),
            0,
            static_cast<char>(size),
            static_cast<char>(size >> 8),
            static_cast<char>(size >> 16),
            static_cast<char>(size >> 24),
            static_cast<char>(attributes),
            static_cast<char>(byte9),
            0,
            0};
}

class UsbtmcDeviceTest : public ::testing::Test {
protected:
    bool out(const std::string& bytes) {
        return device.bulkOut(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    // The host's way: header on its own, then the command.
    void command(const std::string& text, uint8_t tag) {
        ASSERT_TRUE(out(header(1, tag, static_cast<uint32_t>(text.size()), 1)));
        ASSERT_TRUE(out(text));
    }
    bool ready() { return device.vendorRead(9, 0, 0, 4).value().at(0) != 0; }
    void requestReply(uint8_t tag) { ASSERT_TRUE(out(header(2, tag, 64, 1, 0x0A))); }

    Instrument instrument;
    Faults faults;
    UsbtmcDevice device{instrument, faults};
};

TEST_F(UsbtmcDeviceTest, StatusIsReadyOnlyWhileAReplyWaits) {
    EXPECT_FALSE(ready());
    command(":KEY:RUN", 1);
    EXPECT_FALSE(ready());
    command("*IDN?", 2);
    EXPECT_TRUE(ready());
    requestReply(3);
    EXPECT_FALSE(ready());
    EXPECT_EQ(device.vendorRead(9, 0, 0, 4)->size(), 4u);
}

TEST_F(UsbtmcDeviceTest, ReplyComesBehindABulkInHeaderWithTheRequestsTag) {
    command(":TIMEBASE:FORMAT?", 7);
    requestReply(8);
    const auto packet = device.bulkIn(64);
    ASSERT_TRUE(packet);
    EXPECT_EQ(*packet, header(2, 8, 4, 1) + "Y-T\n");
    EXPECT_FALSE(device.bulkIn(64));
}

TEST_F(UsbtmcDeviceTest, LongReplyIsReadAsFirstPacketThenChunks) {
    command(":WAVEFORM:DATA? CHANNEL1", 1);
    requestReply(2);
    const auto first = device.bulkIn(64);
    ASSERT_EQ(first->size(), 64u);
    EXPECT_EQ(static_cast<uint8_t>((*first)[4]) | (static_cast<uint8_t>((*first)[5]) << 8), 815);
    const auto rest = device.bulkIn(4096);
    EXPECT_EQ(rest->size(), 815u - 52u);
}

TEST_F(UsbtmcDeviceTest, CommandSplitOverSeveralTransfersIsJoined) {
    std::vector<std::string> seen;
    device.onCommand = [&](const std::string& c) { seen.push_back(c); };
    ASSERT_TRUE(out(header(1, 5, 16, 1)));
    ASSERT_TRUE(out(":CHANNEL1"));
    EXPECT_TRUE(seen.empty());
    ASSERT_TRUE(out(":SCALE?"));
    EXPECT_EQ(seen, std::vector<std::string>{":CHANNEL1:SCALE?"});
    EXPECT_TRUE(ready());
}

TEST_F(UsbtmcDeviceTest, HeaderAndDataInOneTransferWorkToo) {
    ASSERT_TRUE(out(header(1, 9, 5, 1) + "*IDN?"));
    EXPECT_TRUE(ready());
}

TEST_F(UsbtmcDeviceTest, WrongInvertedTagOrShortHeaderIsRefused) {
    std::string bad = header(1, 4, 5, 1);
    bad[2] = 0;
    EXPECT_FALSE(out(bad));
    EXPECT_FALSE(out("short"));
}

TEST_F(UsbtmcDeviceTest, NoReplyUnderWayMeansNothingToRead) {
    requestReply(1);
    EXPECT_FALSE(device.bulkIn(64));
}

TEST_F(UsbtmcDeviceTest, WrongMessageIdFault) {
    faults.wrongMessageId = true;
    command("*IDN?", 1);
    requestReply(2);
    EXPECT_EQ(device.bulkIn(64)->at(0), 1);
}

TEST_F(UsbtmcDeviceTest, ShortFirstPacketFault) {
    faults.shortFirstPacket = true;
    command("*IDN?", 1);
    requestReply(2);
    EXPECT_EQ(device.bulkIn(64)->size(), 8u);
}

TEST_F(UsbtmcDeviceTest, DeviceDisappearsAfterTheFirstPacket) {
    faults.disappearMidReply = true;
    command(":WAVEFORM:DATA? CHANNEL1", 1);
    requestReply(2);
    EXPECT_TRUE(device.bulkIn(64));
    EXPECT_FALSE(device.bulkIn(4096));
    EXPECT_FALSE(device.present());
    EXPECT_FALSE(device.vendorRead(9, 0, 0, 4));
    EXPECT_FALSE(out(header(1, 3, 0, 1)));
}

TEST_F(UsbtmcDeviceTest, SilentFaultNeverShowsAReady) {
    faults.silent = true;
    command("*IDN?", 1);
    EXPECT_FALSE(ready());
}

TEST_F(UsbtmcDeviceTest, AnnouncedLengthCanLie) {
    faults.prefixDelta = 100000;
    command("*IDN?", 1);
    requestReply(2);
    const auto packet = device.bulkIn(64);
    const uint32_t announced = static_cast<uint8_t>((*packet)[4]) |
                               (static_cast<uint8_t>((*packet)[5]) << 8) |
                               (static_cast<uint8_t>((*packet)[6]) << 16);
    EXPECT_GT(announced, 100000u);
}

}  // namespace
}  // namespace tracebay::sim
