#include "link/SerialTransport.h"

#include <gtest/gtest.h>

#include "link/CommEvents.h"
#include "tests/link/LinkFixture.h"

namespace tracebay::link {
namespace {

using platform::MessageIcon;
using platform::SerialPortControl;

class SerialOpenTest : public LinkFixture {};

TEST_F(SerialOpenTest, OpensThePortWithTrimmedBaudRateAndNoHandshake) {
    channel.serial().settings() = {2, " 19200 ", ""};
    channel.state().LinkReady = true;
    channel.serial().SerialOpen();
    EXPECT_TRUE(port.PortOpen());
    EXPECT_EQ(port.Settings(), "19200,n,8,1");
    EXPECT_EQ(port.openedLine.baud, 19200);
    EXPECT_EQ(port.openedName, platform::portDeviceName(2, ""));
    EXPECT_EQ(port.Handshaking(), 0);
    EXPECT_TRUE(channel.state().LinkReady);
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(SerialOpenTest, ConfiguredDevicePathIsOpened) {
    channel.serial().settings().DevicePath = "/dev/pts/7";
    channel.serial().SerialOpen();
    EXPECT_EQ(port.openedName, "/dev/pts/7");
}

TEST_F(SerialOpenTest, CallingItTwiceReopensWithTheCurrentSettings) {
    channel.serial().SerialOpen();
    channel.serial().settings().BaudRate = "4800";
    channel.serial().SerialOpen();
    EXPECT_EQ(port.opens, 2);
    EXPECT_EQ(port.closes, 1);
    EXPECT_EQ(port.openedLine.baud, 4800);
}

TEST_F(SerialOpenTest, FailureShowsThePlatformDescriptionAndClearsLinkReady) {
    port.openFailure = "/dev/ttyS0: No such file or directory";
    channel.state().LinkReady = true;
    channel.serial().SerialOpen();
    EXPECT_FALSE(channel.state().LinkReady);
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].text, "/dev/ttyS0: No such file or directory");
    EXPECT_EQ(host.messages()[0].caption, "RS232 Init");
    EXPECT_EQ(host.messages()[0].icon, MessageIcon::Exclamation);
}

TEST_F(SerialOpenTest, BaudRateThatIsNoNumberFailsTheOpen) {
    channel.serial().settings().BaudRate = "fast";
    channel.state().LinkReady = true;
    channel.serial().SerialOpen();
    EXPECT_FALSE(channel.state().LinkReady);
    EXPECT_FALSE(port.PortOpen());
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_NE(host.messages()[0].text.find("fast,n,8,1"), std::string::npos);
}

struct PacingRow {
    const char* baud;
    size_t length;
    int ms;
};

std::ostream& operator<<(std::ostream& out, const PacingRow& row) {
    return out << row.baud << " baud, " << row.length << " characters";
}

class SerialPacing : public ::testing::TestWithParam<PacingRow> {};

TEST_P(SerialPacing, CommandWaitsForItsTimeOnTheWire) {
    EXPECT_EQ(serialPacingMs(GetParam().baud, GetParam().length), GetParam().ms);
}

INSTANTIATE_TEST_SUITE_P(Rates, SerialPacing,
                         ::testing::Values(PacingRow{"300", 5, 600},   // 100 ms per character
                                           PacingRow{"9600", 12, 41},  // 3.125 x 13 = 40.625
                                           PacingRow{"19200", 12,
                                                     39},  // 1.5625 is below the 3 ms floor
                                           PacingRow{"38400", 0, 3},   // the line feed alone
                                           PacingRow{"2400", 2, 38},   // 37.5: halves go to even
                                           PacingRow{"2400", 4, 62},   // 62.5
                                           PacingRow{" 4800", 9, 62},  // 6.25 x 10 = 62.5
                                           PacingRow{"0", 4, 15},      // no rate: the floor
                                           PacingRow{"fast", 4, 15}));

class SerialSendTest : public LinkFixture {
protected:
    void SetUp() override { useSerial(); }
};

TEST_F(SerialSendTest, WritesTheLineAndPausesForIt) {
    channel.serial().SerialSend("*IDN?");
    ASSERT_EQ(port.written.size(), 1u);
    EXPECT_EQ(port.written[0], "*IDN?\n");
    EXPECT_EQ(host.sleeps(), std::vector<int>{19});  // 3.125 x 6 = 18.75
}

TEST_F(SerialSendTest, ResetsTheReplyBeforeSending) {
    channel.state().ReplyText = "old";
    channel.state().ReplyStarted = true;
    channel.serial().SerialSend(":RUN");
    EXPECT_EQ(channel.state().ReplyText, "");
    EXPECT_FALSE(channel.state().ReplyStarted);
}

// A reply that came after its query gave up waits in the input while a command pauses; it is
// not taken for the reply of the next query, nor does it shift the replies after that.
TEST_F(SerialSendTest, LateReplyWaitingAtTheSendIsDropped) {
    port.arrive("EDGE\n");
    deliverAfter(10, "ON\n");
    EXPECT_EQ(channel.QueryCommand(":CHANNEL1:DISPLAY?"), "ON");
    deliverAfter(10, "Y-T\n");
    EXPECT_EQ(channel.QueryCommand(":TIMEBASE:FORMAT?"), "Y-T");
}

TEST_F(SerialSendTest, FailedWriteShowsTheDescriptionAndSkipsThePause) {
    port.writeFailure = "Resource temporarily unavailable";
    channel.serial().SerialSend("*IDN?");
    EXPECT_TRUE(host.sleeps().empty());
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].text, "Resource temporarily unavailable");
    EXPECT_EQ(host.messages()[0].caption, "RS232 Send Message");
}

class SerialTextReply : public LinkFixture {
protected:
    void SetUp() override { useSerial(); }
};

TEST_F(SerialTextReply, ReplySplitOverSeveralEventsIsJoined) {
    deliverAfter(20, "1.0");
    deliverAfter(40, "0E-01\n");
    EXPECT_EQ(channel.QueryCommand(":CHANNEL1:SCALE?"), "1.00E-01");
}

TEST_F(SerialTextReply, BytesAfterTheLineFeedAreDropped) {
    deliverAfter(10, "OK\nXY");
    EXPECT_EQ(channel.QueryCommand("*IDN?"), "OK");
    EXPECT_EQ(channel.state().RxTotal, 4);
    EXPECT_EQ(channel.state().RxCount, 5);
}

TEST_F(SerialTextReply, SilenceEndsAfterFortyTicksWithAnEmptyReply) {
    const auto start = host.nowMs();
    EXPECT_EQ(channel.QueryCommand("*IDN?"), "");
    EXPECT_EQ(channel.state().SerialTicks, 40);
    EXPECT_GE(host.nowMs() - start, 3900);
    EXPECT_LE(host.nowMs() - start, 4100);
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(SerialTextReply, EveryChunkRestartsTheTimeOut) {
    deliverAfter(3000, "12");
    deliverAfter(6000, "34");
    deliverAfter(9000, "5\n");
    EXPECT_EQ(channel.QueryCommand("*IDN?"), "12345");
}

TEST_F(SerialTextReply, ReplyTricklingSlowerThanTheTimeOutIsLost) {
    deliverAfter(3000, "12");
    deliverAfter(7500, "3\n");
    EXPECT_EQ(channel.QueryCommand("*IDN?"), "");
}

TEST_F(SerialTextReply, LineLongerThanTheBufferIsRefusedNotCut) {
    deliverAfter(10, std::string(40000, 'A'));
    deliverAfter(20, std::string(40000, 'B') + "\n");
    const auto start = host.nowMs();
    EXPECT_EQ(channel.QueryCommand("*IDN?"), "");
    EXPECT_LT(host.nowMs() - start, 1000);  // ended at once, not by time-out
    EXPECT_EQ(channel.state().RxCount, static_cast<int32_t>(LinkState::RxBufferSize));
    EXPECT_TRUE(channel.state().ReplyRefused);
}

TEST_F(SerialTextReply, LineFeedInsideAnOverlongChunkStillEndsTheLine) {
    deliverAfter(10, "ON\n" + std::string(70000, 'x'));
    EXPECT_EQ(channel.QueryCommand(":LA:DISPLAY?"), "ON");
}

class SerialBlockReply : public LinkFixture {
protected:
    void SetUp() override { useSerial(); }
};

std::string payloadOf(size_t n) {
    std::string bytes;
    for (size_t i = 0; i < n; ++i) bytes += static_cast<char>(i * 7 + 3);
    return bytes;
}

TEST_F(SerialBlockReply, CompletesOnExactlyTheAnnouncedLengthPlusPrefix) {
    const std::string whole = block(payloadOf(600));
    deliverAfter(10, whole.substr(0, 300));
    deliverAfter(20, whole.substr(300, 303));  // 603 bytes: one short
    host.at(25, [this] { EXPECT_TRUE(channel.state().AwaitingReply); });
    deliverAfter(30, whole.substr(603));
    EXPECT_EQ(awaitBlock(":WAVEFORM:DATA? CHANNEL1"), ReplyWait::Complete);
    const LinkState& link = channel.state();
    EXPECT_EQ(link.RxExpected, 600);
    EXPECT_EQ(link.RxTotal, 604);
    EXPECT_EQ(std::string(link.RxBuffer.begin(), link.RxBuffer.begin() + 600), payloadOf(600));
    EXPECT_EQ(link.ReplyText, payloadOf(600));
}

TEST_F(SerialBlockReply, PrefixIsReadLittleEndian) {
    deliverAfter(10, block(payloadOf(0x010001)));  // 01 00 01 00
    EXPECT_EQ(awaitBlock(":SYSTEM:DATA?"), ReplyWait::Complete);
    EXPECT_EQ(channel.state().RxExpected, 65537);
}

TEST_F(SerialBlockReply, PrefixSplitAcrossChunksIsAssembled) {
    const std::string whole = block(payloadOf(112));
    deliverAfter(10, whole.substr(0, 1));
    deliverAfter(20, whole.substr(1, 2));
    deliverAfter(30, whole.substr(3, 5));
    deliverAfter(40, whole.substr(8));
    EXPECT_EQ(awaitBlock(":SYSTEM:DATA?"), ReplyWait::Complete);
    const LinkState& link = channel.state();
    EXPECT_EQ(link.RxExpected, 112);
    EXPECT_EQ(std::string(link.RxBuffer.begin(), link.RxBuffer.begin() + 112), payloadOf(112));
}

TEST_F(SerialBlockReply, MoreBytesThanAnnouncedNeverCompleteAndTimeOut) {
    std::string whole = block(payloadOf(10)) + "extra";
    deliverAfter(10, whole);
    const auto start = host.nowMs();
    EXPECT_EQ(awaitBlock(":SYSTEM:DATA?"), ReplyWait::TimedOut);
    EXPECT_GE(host.nowMs() - start, 9900);
    EXPECT_EQ(channel.state().SerialTicks, 100);
}

TEST_F(SerialBlockReply, LengthThatCanNeverFitIsRefusedAtOnce) {
    deliverAfter(10, std::string("\x00\x00\x10\x00"
                                 "abc",
                                 7));  // announces 1 MiB
    const auto start = host.nowMs();
    EXPECT_EQ(awaitBlock(":WAVEFORM:DATA? CHANNEL1"), ReplyWait::Refused);
    EXPECT_LT(host.nowMs() - start, 1000);
    EXPECT_EQ(channel.state().RxCount, 0);
}

TEST_F(SerialBlockReply, BlockFillingTheWholeBufferCompletes) {
    deliverAfter(10, block(std::string(LinkState::RxBufferSize, 'z')));
    EXPECT_EQ(awaitBlock(":WAVEFORM:DATA? CHANNEL1"), ReplyWait::Complete);
}

TEST_F(SerialBlockReply, BytesBeyondTheBufferAreNeverStored) {
    std::string whole = block(payloadOf(100)) + std::string(LinkState::RxBufferSize, 'q');
    deliverAfter(10, whole);
    EXPECT_EQ(awaitBlock(":WAVEFORM:DATA? CHANNEL1"), ReplyWait::Refused);
    EXPECT_EQ(channel.state().RxCount, static_cast<int32_t>(LinkState::RxBufferSize));
}

TEST_F(SerialBlockReply, RefusalIsForgottenByTheNextCommand) {
    deliverAfter(10, std::string{'\xff', '\xff', '\xff', '\xff'});
    ASSERT_EQ(awaitBlock(":WAVEFORM:DATA? CHANNEL1"), ReplyWait::Refused);
    deliverAfter(10, block("ok"));
    EXPECT_EQ(awaitBlock(":WAVEFORM:DATA? CHANNEL1"), ReplyWait::Complete);
}

class SerialEvents : public LinkFixture {
protected:
    void SetUp() override { useSerial(); }
};

TEST_F(SerialEvents, OtherEventsAreDescribedAndStartTheCommTimerForTwoSeconds) {
    port.raise(1004);
    EXPECT_EQ(channel.serial().lastEventDescription(), "Framing Error");
    EXPECT_TRUE(channel.serial().commTimerEnabled());
    for (int i = 0; i < 19; ++i) channel.onReplyTick();
    EXPECT_TRUE(channel.serial().commTimerEnabled());
    channel.onReplyTick();
    EXPECT_FALSE(channel.serial().commTimerEnabled());
}

TEST_F(SerialEvents, SendThresholdEventIsIgnored) {
    port.raise(SerialPortControl::ComEvSend);
    EXPECT_FALSE(channel.serial().commTimerEnabled());
    EXPECT_EQ(channel.serial().lastEventDescription(), "");
}

TEST_F(SerialEvents, UnpluggedPortEndsTheWaitAtOnceWithoutMessages) {
    host.after(50, [this] { port.unplug(); });
    const auto start = host.nowMs();
    EXPECT_EQ(channel.QueryCommand("*IDN?"), "");
    EXPECT_LT(host.nowMs() - start, 100);
    EXPECT_FALSE(port.PortOpen());
    EXPECT_EQ(channel.serial().lastEventDescription(), "Unknown error or event");
    EXPECT_TRUE(host.messages().empty());
}

// After the loss every wait ends at once, and of all the sends that fail only the first says so,
// until the port is opened again.
TEST_F(SerialEvents, ClosedPortFailsTheRestQuicklyWithOneMessage) {
    port.unplug();
    const auto start = host.nowMs();
    EXPECT_EQ(awaitBlock(":WAVEFORM:DATA? CHANNEL1"), ReplyWait::PortClosed);
    EXPECT_EQ(awaitBlock(":WAVEFORM:DATA? CHANNEL2"), ReplyWait::PortClosed);
    EXPECT_EQ(channel.QueryCommand(":TIMEBASE:FORMAT?"), "");
    EXPECT_LT(host.nowMs() - start, 1000);
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].caption, "RS232 Send Message");
    channel.serial().SerialOpen();
    port.writeFailure = "Input/output error";
    channel.SendCommand(":RUN");
    port.unplug();
    channel.SendCommand(":RUN");
    EXPECT_EQ(host.messages().size(), 3u);
}

struct EventRow {
    int code;
    const char* text;
};

std::ostream& operator<<(std::ostream& out, const EventRow& row) { return out << row.code; }

class CommEventTexts : public ::testing::TestWithParam<EventRow> {};

TEST_P(CommEventTexts, MatchTheirCodes) {
    EXPECT_EQ(commEventDescription(GetParam().code), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommEventTexts,
    ::testing::Values(EventRow{3, "Change in CTS Detected"}, EventRow{4, "Change in DSR Detected"},
                      EventRow{5, "Change in CD Detected"}, EventRow{6, "The Phone is Ringing"},
                      EventRow{7, "End of File Detected"}, EventRow{1001, "Break Received"},
                      EventRow{1002, "CTS Timeout"}, EventRow{1003, "DSR Timeout"},
                      EventRow{1004, "Framing Error"}, EventRow{1005, "Unknown error or event"},
                      EventRow{1006, "Overrun Error"}, EventRow{1007, "Carrier Detect Timeout"},
                      EventRow{1008, "Receive Buffer Overflow"}, EventRow{1009, "Parity Error"},
                      EventRow{1010, "Transmit Buffer Full"},
                      EventRow{1011, "Error retrieving DCB"},
                      EventRow{8, "Unknown error or event"}));

}  // namespace
}  // namespace tracebay::link
