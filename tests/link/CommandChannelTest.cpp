#include "link/CommandChannel.h"

#include <gtest/gtest.h>

#include <limits>

#include "tests/link/LinkFixture.h"

namespace tracebay::link {
namespace {

class CommandChannelTest : public LinkFixture {};

TEST_F(CommandChannelTest, SerialCommandPausesAfterItsTransmission) {
    useSerial();
    channel.SendCommand(":KEY:LOCK:ENABLE");  // 16 characters: 3.125 x 17 = 53.1
    EXPECT_EQ(port.written, std::vector<std::string>{":KEY:LOCK:ENABLE\n"});
    EXPECT_EQ(host.sleeps(), (std::vector<int>{53, 100}));
}

TEST_F(CommandChannelTest, PauseFollowsAlsoAFailedSend) {
    useSerial();
    port.writeFailure = "gone";
    channel.SendCommand(":RUN");
    EXPECT_EQ(host.sleeps(), std::vector<int>{100});
    EXPECT_EQ(host.messages().size(), 1u);
}

TEST_F(CommandChannelTest, SerialQueryHasNoExtraPause) {
    useSerial();
    deliverAfter(5, "ABC\nmore");
    EXPECT_EQ(channel.QueryCommand("*IDN?"), "ABC");
    EXPECT_EQ(host.sleeps(), std::vector<int>{19});
    EXPECT_FALSE(channel.state().BinaryReply);
}

TEST_F(CommandChannelTest, QueryAsksForATextReplyEvenAfterABlock) {
    useSerial();
    channel.state().BinaryReply = true;
    deliverAfter(5, "Y-T\n");
    EXPECT_EQ(channel.QueryCommand(":TIMEBASE:FORMAT?"), "Y-T");
}

class UsbRouting : public LinkFixture, public ::testing::WithParamInterface<int> {};

TEST_P(UsbRouting, EveryIoTypeButTwoGoesOverUsb) {
    channel.IoType = GetParam();
    usb.queueReply("1.000e+00\n");
    channel.SendCommand(":RUN");
    EXPECT_EQ(channel.QueryCommand(":CHANNEL1:SCALE?"), "1.000e+00\n");
    EXPECT_TRUE(port.written.empty());
    ASSERT_GE(usb.writes.size(), 2u);
    EXPECT_EQ(usb.writes[0].data, ":RUN");
    EXPECT_EQ(usb.writes[1].data, ":CHANNEL1:SCALE?");
    EXPECT_EQ(host.sleeps(), std::vector<int>{100});  // the command's pause, none for the query
}

INSTANTIATE_TEST_SUITE_P(IoTypes, UsbRouting, ::testing::Values(0, 1, 3, -1));

TEST_F(CommandChannelTest, ReplyTickCountsBothWaitsAndStopsAtTheTop) {
    LinkState& link = channel.state();
    host.sleepMs(1000);
    host.processEvents();
    EXPECT_EQ(link.SerialTicks, 1);
    EXPECT_EQ(link.UsbTicks, 1);
    link.SerialTicks = std::numeric_limits<int32_t>::max();
    channel.onReplyTick();
    EXPECT_EQ(link.SerialTicks, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(link.UsbTicks, 2);
}

}  // namespace
}  // namespace tracebay::link
