#include "link/CommandChannel.h"

#include <gtest/gtest.h>

#include "tests/link/LinkFixture.h"

namespace tracebay::link {
namespace {

class CommandChannelTest : public LinkFixture {};

TEST_F(CommandChannelTest, CommandPausesAfterItsTransmissionEvenWhenItFailed) {
    useSerial();
    EXPECT_TRUE(channel.SendCommand(":KEY:LOCK:ENABLE"));  // 16 characters: 3.125 x 17 = 53.1
    EXPECT_EQ(port.written, std::vector<std::string>{":KEY:LOCK:ENABLE\n"});
    EXPECT_EQ(host.sleeps(), (std::vector<int>{53, 100}));
    host.clearRecords();
    port.writeFailure = "gone";
    EXPECT_FALSE(channel.SendCommand(":RUN"));
    EXPECT_EQ(host.sleeps(), std::vector<int>{100});
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"RS232 Send Message: gone"});
}

TEST_F(CommandChannelTest, QueryHasNoExtraPauseOnEitherTransport) {
    useSerial();
    deliverAfter(5, "ABC\nmore");
    EXPECT_EQ(channel.QueryCommand("*IDN?"), "ABC");
    EXPECT_EQ(host.sleeps(), std::vector<int>{19});
    channel.use(usbTransport);
    usb.queueReply("1.000e+00\n");
    EXPECT_EQ(channel.QueryCommand(":CHANNEL1:SCALE?"), "1.000e+00\n");
    EXPECT_EQ(host.sleeps(), std::vector<int>{19});
}

// What the step that failed shows is shown where it fails; a silent failure stays silent.
TEST_F(CommandChannelTest, FailuresAreShownAsTheirStepShowsThem) {
    usb.statusFails = false;
    EXPECT_EQ(channel.QueryCommand("*IDN?"), "");  // no reply ever ready
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"USB Read Message: Read USB time out"});
    useSerial();
    EXPECT_EQ(channel.QueryCommand("*IDN?"), "");
    EXPECT_TRUE(host.messages().empty()) << "serial silence";
}

TEST_F(CommandChannelTest, LinkThatGoesAwayEndsTheOperationWithoutAMessage) {
    usb.deviceMissing = true;
    try {
        channel.SendCommand(":RUN");
        FAIL() << "no LinkLost";
    } catch (const LinkLost& lost) {
        EXPECT_EQ(lost.error().caption, "USB Send Message");
        EXPECT_EQ(lost.error().text(), "Cann't Connect to USB Device");
    }
    EXPECT_TRUE(host.messages().empty());
    EXPECT_TRUE(host.sleeps().empty());
}

// The system block's reader says nothing of a block it could not read, and the upload then
// names it: the failure comes without its caption.
TEST_F(CommandChannelTest, QuietBlockReadKeepsItsFailureUntold) {
    for (const auto failures :
         {CommandChannel::ReadFailures::Shown, CommandChannel::ReadFailures::Quiet}) {
        host.clearRecords();
        usb.queueReply(std::string(5000, 'x'));
        const auto reply = channel.ReadBlock(4096, failures);
        ASSERT_TRUE(reply.error);
        const bool quiet = failures == CommandChannel::ReadFailures::Quiet;
        EXPECT_EQ(reply.error->shown(), !quiet);
        EXPECT_EQ(host.messages().size(), quiet ? 0u : 1u);
    }
}

TEST_F(CommandChannelTest, ReplyTickReachesTheTransportInUse) {
    useSerial();
    port.raise(1004);
    EXPECT_TRUE(serial.commTimerEnabled());
    host.advance(2000);
    EXPECT_FALSE(serial.commTimerEnabled());
}

}  // namespace
}  // namespace tracebay::link
