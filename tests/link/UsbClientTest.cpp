#include "link/UsbClient.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "link/LoadedUsbLibrary.h"
#include "tests/link/LinkFixture.h"

namespace tracebay::link {
namespace {

using platform::MessageIcon;

class UsbClientTest : public LinkFixture {
protected:
    UsbClient& client() { return channel.usb(); }

    std::vector<uint8_t> tags() const {
        std::vector<uint8_t> result;
        for (const auto& write : usb.writes) result.push_back(write.tag);
        return result;
    }

    void expectOneMessage(const std::string& text, const std::string& caption) {
        ASSERT_EQ(host.messages().size(), 1u);
        EXPECT_EQ(host.messages()[0].text, text);
        EXPECT_EQ(host.messages()[0].caption, caption);
        EXPECT_EQ(host.messages()[0].icon, MessageIcon::Exclamation);
    }
};

TEST_F(UsbClientTest, TagsRunFromOneToTwoHundredFiftyFourThenZero) {
    for (int i = 0; i < 256; ++i) client().UsbSend(":RUN");
    const auto used = tags();
    EXPECT_EQ(used[0], 1);
    EXPECT_EQ(used[253], 254);
    EXPECT_EQ(used[254], 0);
    EXPECT_EQ(used[255], 1);
}

TEST_F(UsbClientTest, CommandIsOneMessageWithItsBytesExactly) {
    client().UsbSend("*IDN?");
    ASSERT_EQ(usb.writes.size(), 1u);
    EXPECT_EQ(usb.writes[0].messageId, 1);
    EXPECT_EQ(usb.writes[0].transferSize, 5u);
    EXPECT_EQ(usb.writes[0].data, "*IDN?");
}

TEST_F(UsbClientTest, QueryAdvancesTheTagThreeTimes) {
    usb.queueReply("KAVLO\n");
    channel.QueryCommand("*IDN?");
    ASSERT_EQ(usb.writes.size(), 2u);
    EXPECT_EQ(usb.writes[0].tag, 1);
    EXPECT_EQ(usb.writes[1].messageId, 2);
    EXPECT_EQ(usb.writes[1].tag, 2);
    EXPECT_EQ(usb.writes[1].transferSize, 0u);
    EXPECT_EQ(client().UsbTag(), 3);
    client().UsbSend(":RUN");
    EXPECT_EQ(usb.writes[2].tag, 4);
}

TEST_F(UsbClientTest, TextReplyKeepsItsLineFeed) {
    usb.queueReply("0123456789");
    usb.queueReply("12345678\n\n");
    EXPECT_EQ(channel.QueryCommand("*IDN?"), "0123456789");
    const std::string reply = channel.QueryCommand("*IDN?");
    EXPECT_EQ(reply.size(), 10u);
    EXPECT_EQ(reply, "12345678\n\n");
}

TEST_F(UsbClientTest, PollsUntilTheReplyIsReadyProcessingEvents) {
    usb.pollsBeforeReady = 7;
    usb.queueReply("ON\n");
    EXPECT_EQ(channel.QueryCommand(":LA:DISPLAY?"), "ON\n");
    EXPECT_EQ(usb.statusRequests, 9);  // 8 polls and the final check
    EXPECT_EQ(host.pumps(), 8);
}

TEST_F(UsbClientTest, ReplyNeverReadyTimesOutAfterFiftyTicks) {
    host.clearRecords();
    const auto start = host.nowMs();
    EXPECT_EQ(client().UsbReadLine(), "");
    EXPECT_EQ(channel.state().UsbTicks, 50);
    EXPECT_NEAR(static_cast<double>(host.nowMs() - start), 5000, 100);
    expectOneMessage("Read USB time out", "USB Read Message");
    EXPECT_TRUE(usb.writes.empty());  // no reply was asked for
    EXPECT_EQ(client().lastFailure(), "time-out");
}

TEST_F(UsbClientTest, StatusFailureWhileWaitingIsReported) {
    usb.statusFails = true;
    EXPECT_EQ(client().UsbReadLine(), "");
    expectOneMessage("Cann't Connect to USB Device", "USB Read Message");
    EXPECT_EQ(client().lastFailure(), "no device");
}

TEST_F(UsbClientTest, FailedReadIsReported) {
    usb.queueReply("x");
    usb.readFails = true;
    EXPECT_EQ(client().UsbReadLine(), "");
    expectOneMessage("Cann't Read data from USB Device", "USB Read Message");
    EXPECT_EQ(client().lastFailure(), "read failed");
}

TEST_F(UsbClientTest, OpenSetsLinkReadyFromTheStatusRequest) {
    client().UsbOpen();
    EXPECT_TRUE(channel.state().LinkReady);
    usb.deviceMissing = true;
    client().UsbOpen();
    EXPECT_FALSE(channel.state().LinkReady);
    expectOneMessage("Cann't Connect to USB Device", "USB Init");
}

TEST_F(UsbClientTest, FailedCommandWriteIsReported) {
    usb.deviceMissing = true;
    client().UsbSend(":RUN");
    expectOneMessage("Cann't Connect to USB Device", "USB Send Message");
}

TEST_F(UsbClientTest, BlockFillsRawSamplesFromIndexOne) {
    std::string payload;
    for (int i = 0; i < 600; ++i) payload += static_cast<char>(i % 251);
    usb.queueReply(payload);
    channel.state().RawSamples[0] = -5;
    channel.SendCommand(":WAVEFORM:DATA? CHANNEL1");
    int32_t length = -1;
    const std::string text = client().UsbReadBlock(length);
    EXPECT_EQ(length, 600);
    EXPECT_EQ(text, payload);
    const auto& raw = channel.state().RawSamples;
    EXPECT_EQ(raw[0], -5);
    EXPECT_EQ(raw[1], 0);
    EXPECT_EQ(raw[600], 599 % 251);
    EXPECT_EQ(usb.lastReadCapacity, 6200u);
}

TEST_F(UsbClientTest, FailedBlockLeavesLengthAndSamplesAlone) {
    channel.state().RawSamples[1] = 77;
    int32_t length = -1;
    EXPECT_EQ(client().UsbReadBlock(length), "");
    EXPECT_EQ(length, -1);
    EXPECT_EQ(channel.state().RawSamples[1], 77);
}

TEST_F(UsbClientTest, BlockLongerThanRawSamplesIsRefused) {
    usb.queueReply(std::string(6201, 'a'));
    int32_t length = -1;
    EXPECT_EQ(client().UsbReadBlock(length), "");
    EXPECT_EQ(length, -1);
    expectOneMessage("Cann't Read data from USB Device", "USB Read Message");
}

TEST_F(UsbClientTest, TextReplyLongerThanItsBufferIsRefused) {
    usb.queueReply(std::string(258, 'a'));
    EXPECT_EQ(client().UsbReadLine(), "");
    EXPECT_EQ(usb.lastReadCapacity, 257u);
    expectOneMessage("Cann't Read data from USB Device", "USB Read Message");
    EXPECT_EQ(client().lastFailure(), "258 bytes, more than 257");
}

TEST_F(UsbClientTest, CommandLongerThanItsBufferIsNotSent) {
    client().UsbSend(std::string(258, 'K'));
    EXPECT_TRUE(usb.writes.empty());
    EXPECT_EQ(client().UsbTag(), 0);
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].caption, "USB Send Message");
    client().UsbSend(std::string(257, 'K'));
    EXPECT_EQ(usb.writes.size(), 1u);
}

TEST_F(UsbClientTest, QueryLongerThanItsBufferFailsAtOnce) {
    usb.queueReply("ON\n");
    const auto start = host.nowMs();
    EXPECT_EQ(channel.QueryCommand(":" + std::string(257, 'K') + "?"), "");
    EXPECT_EQ(host.nowMs(), start);
    EXPECT_EQ(usb.statusRequests, 0);
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].caption, "USB Send Message");
}

TEST_F(UsbClientTest, SystemBlockLandsInTheRecord) {
    std::string block(112, '\0');
    for (int i = 0; i < 112; ++i) block[i] = static_cast<char>(i);
    usb.queueReply(block);
    client().UsbReadSystemBlock();
    EXPECT_EQ(channel.state().SystemDataRecord[111], 111);
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(UsbClientTest, LongerSystemBlockGivesItsFirst112Bytes) {
    usb.queueReply(std::string(112, 'a') + "extra fields");
    client().UsbReadSystemBlock();
    for (uint8_t byte : channel.state().SystemDataRecord) ASSERT_EQ(byte, 'a');
}

// Too long for its buffer, or too short for the record.
TEST_F(UsbClientTest, FailedSystemBlockLeavesTheRecordWholeAndSilent) {
    channel.state().SystemDataRecord.fill(9);
    for (const auto& [length, why] :
         {std::pair<size_t, std::string>{5000, "5000 bytes, more than 4096"},
          {50, "50 bytes, 112 needed"}}) {
        usb.queueReply(std::string(length, 'x'));
        EXPECT_FALSE(client().UsbReadSystemBlock());
        EXPECT_EQ(client().lastFailure(), why);
        for (uint8_t byte : channel.state().SystemDataRecord) ASSERT_EQ(byte, 9);
    }
    EXPECT_TRUE(host.messages().empty());
}

TEST(LoadedUsbLibrary, MissingLibraryFailsEveryCallQuietly) {
    LoadedUsbLibrary library({"/nonexistent-folder"});
    uint8_t status[4] = {};
    uint32_t length = 0;
    uint8_t buffer[8] = {};
    EXPECT_FALSE(library.Vendor_Request_Read(9, 0, 0, 4, status));
    EXPECT_FALSE(library.WriteUSB(1, 1, 1, buffer));
    EXPECT_FALSE(library.ReadUSB(length, buffer, sizeof buffer));
}

// The message still says first what it says for an absent instrument, then which library did not
// load and why: the one in the program's folders that is there but broken, or the one the system
// could not find.
TEST(LoadedUsbLibrary, LibraryThatDoesNotLoadIsNamedAfterTheUsualMessage) {
    QTemporaryDir broken;
    QFile notALibrary(broken.filePath("libKavloUsbLink.so.1"));
    ASSERT_TRUE(notALibrary.open(QIODevice::WriteOnly));
    notALibrary.write("not a library");
    notALibrary.close();
    const struct {
        std::string folder;
        std::string named;
    } cases[] = {{"/nonexistent-folder", "libKavloUsbLink.so.1"},
                 {broken.path().toStdString(), notALibrary.fileName().toStdString()}};
    for (const auto& c : cases) {
        platform::VirtualHost host;
        testing::FakeSerialPort port;
        LoadedUsbLibrary library({c.folder});
        CommandChannel channel(host, port, library);
        channel.state().LinkReady = true;
        channel.usb().UsbOpen();
        EXPECT_FALSE(channel.state().LinkReady);
        ASSERT_EQ(host.messages().size(), 1u);
        const std::string& text = host.messages()[0].text;
        EXPECT_EQ(text.substr(0, text.find('\r')), "Cann't Connect to USB Device");
        EXPECT_NE(text.find('\r' + library.loadFailure()), std::string::npos) << text;
        EXPECT_NE(library.loadFailure().find(c.named), std::string::npos) << library.loadFailure();
        EXPECT_EQ(host.messages()[0].caption, "USB Init");
    }
}

}  // namespace
}  // namespace tracebay::link
