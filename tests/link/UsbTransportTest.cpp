#include "link/UsbTransport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "link/LoadedUsbLibrary.h"
#include "tests/link/LinkFixture.h"

namespace tracebay::link {
namespace {

class UsbTransportTest : public LinkFixture {
protected:
    std::vector<uint8_t> tags() const {
        std::vector<uint8_t> result;
        for (const auto& write : usb.writes) result.push_back(write.tag);
        return result;
    }
    std::string text(const Reply<Bytes>& reply) {
        return std::string(reply.value.begin(), reply.value.end());
    }
    static std::string said(const std::optional<LinkError>& error) {
        return error ? error->caption + ": " + error->text() : "";
    }
};

TEST_F(UsbTransportTest, TagsRunFromOneToTwoHundredFiftyFourThenZero) {
    for (int i = 0; i < 256; ++i) usbTransport.send(":RUN");
    const auto used = tags();
    EXPECT_EQ(used[0], 1);
    EXPECT_EQ(used[253], 254);
    EXPECT_EQ(used[254], 0);
    EXPECT_EQ(used[255], 1);
}

TEST_F(UsbTransportTest, CommandIsOneMessageWithItsBytesExactly) {
    usbTransport.send("*IDN?");
    ASSERT_EQ(usb.writes.size(), 1u);
    EXPECT_EQ(usb.writes[0].messageId, 1);
    EXPECT_EQ(usb.writes[0].transferSize, 5u);
    EXPECT_EQ(usb.writes[0].data, "*IDN?");
}

TEST_F(UsbTransportTest, QueryAdvancesTheTagThreeTimesAndKeepsTheLineFeed) {
    usb.queueReply("12345678\n\n");
    EXPECT_EQ(channel.QueryCommand("*IDN?"), "12345678\n\n");
    ASSERT_EQ(usb.writes.size(), 2u);
    EXPECT_EQ(usb.writes[0].tag, 1);
    EXPECT_EQ(usb.writes[1].messageId, 2);
    EXPECT_EQ(usb.writes[1].tag, 2);
    EXPECT_EQ(usb.writes[1].transferSize, 0u);
    EXPECT_EQ(usbTransport.UsbTag(), 3);
}

TEST_F(UsbTransportTest, PollsUntilTheReplyIsReadyProcessingEvents) {
    usb.pollsBeforeReady = 7;
    usb.queueReply("ON\n");
    EXPECT_EQ(channel.QueryCommand(":LA:DISPLAY?"), "ON\n");
    EXPECT_EQ(usb.statusRequests, 9);  // 8 polls and the final check
    EXPECT_EQ(host.pumps(), 8);
}

TEST_F(UsbTransportTest, ReplyNeverReadyTimesOutAfterFiftyTicks) {
    const auto start = host.nowMs();
    const auto reply = usbTransport.readLine();
    EXPECT_EQ(said(reply.error), "USB Read Message: Read USB time out");
    EXPECT_EQ(reply.error->shortfall(), "time-out");
    EXPECT_NEAR(static_cast<double>(host.nowMs() - start), 5000, 100);
    EXPECT_TRUE(usb.writes.empty());  // no reply was asked for
}

// Each failure as the step that fails says it; a device that cannot be reached is a lost link.
TEST_F(UsbTransportTest, FailuresNameTheirStep) {
    usb.deviceMissing = true;
    EXPECT_EQ(said(usbTransport.open()), "USB Init: Cann't Connect to USB Device");
    const auto sendError = usbTransport.send(":RUN");
    EXPECT_EQ(said(sendError), "USB Send Message: Cann't Connect to USB Device");
    EXPECT_TRUE(sendError->lost());
    usb.deviceMissing = false;
    usb.statusFails = true;
    const auto statusError = usbTransport.readLine().error;
    EXPECT_EQ(said(statusError), "USB Read Message: Cann't Connect to USB Device");
    EXPECT_EQ(statusError->shortfall(), "no device");
    usb.statusFails = false;
    usb.queueReply("x");
    usb.readFails = true;
    const int statusRequests = usb.statusRequests;
    const auto readError = usbTransport.readLine().error;
    EXPECT_EQ(said(readError), "USB Read Message: Cann't Read data from USB Device");
    EXPECT_FALSE(readError->lost());
    EXPECT_EQ(usb.statusRequests - statusRequests, 2) << "the poll and its check, none after";
    EXPECT_TRUE(host.messages().empty()) << "the transport shows nothing itself";
}

TEST_F(UsbTransportTest, BlockIsReadUpToItsCapacity) {
    std::string payload;
    for (int i = 0; i < 600; ++i) payload += static_cast<char>(i % 251);
    usb.queueReply(payload);
    EXPECT_EQ(text(usbTransport.readBlock(6200)), payload);
    EXPECT_EQ(usb.lastReadCapacity, 6200u);
}

TEST_F(UsbTransportTest, ReplyLongerThanItsReaderIsRefused) {
    usb.queueReply(std::string(6201, 'a'));
    const auto block = usbTransport.readBlock(6200);
    EXPECT_EQ(said(block.error), "USB Read Message: Cann't Read data from USB Device");
    EXPECT_EQ(block.error->shortfall(), "6201 bytes, more than 6200");
    usb.queueReply(std::string(258, 'a'));
    EXPECT_EQ(usbTransport.readLine().error->shortfall(), "258 bytes, more than 257");
    EXPECT_EQ(usb.lastReadCapacity, 257u);
}

TEST_F(UsbTransportTest, CommandLongerThanItsBufferIsNotSentNorAnswered) {
    usb.queueReply("ON\n");
    EXPECT_EQ(channel.QueryCommand(":" + std::string(257, 'K') + "?"), "");
    EXPECT_TRUE(usb.writes.empty());
    EXPECT_EQ(usb.statusRequests, 0);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{
                                  "USB Send Message: Command longer than 257 characters not sent"});
    usbTransport.send(std::string(257, 'K'));
    EXPECT_EQ(usb.writes.size(), 1u);
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
        LoadedUsbLibrary library({c.folder});
        UsbTransport transport(host, library);
        const auto error = transport.open();
        ASSERT_TRUE(error);
        const std::string text = error->text();
        EXPECT_EQ(text.substr(0, text.find('\r')), "Cann't Connect to USB Device");
        EXPECT_NE(text.find('\r' + library.loadFailure()), std::string::npos) << text;
        EXPECT_NE(library.loadFailure().find(c.named), std::string::npos) << library.loadFailure();
        EXPECT_EQ(error->caption, "USB Init");
        uint32_t length = 0;
        uint8_t buffer[8] = {};
        EXPECT_FALSE(library.WriteUSB(1, 1, 1, buffer));
        EXPECT_FALSE(library.ReadUSB(length, buffer, sizeof buffer));
    }
}

}  // namespace
}  // namespace tracebay::link
