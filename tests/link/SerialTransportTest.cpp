#include "link/SerialTransport.h"

#include <gtest/gtest.h>

#include <functional>

#include "link/CommEvents.h"
#include "tests/link/LinkFixture.h"

namespace tracebay::link {
namespace {

using platform::SerialPortControl;

class SerialOpenTest : public LinkFixture {};

TEST_F(SerialOpenTest, OpensThePortWithTrimmedBaudRateAndNoHandshake) {
    serial.settings() = {2, " 19200 ", ""};
    EXPECT_FALSE(serial.open());
    EXPECT_TRUE(port.PortOpen());
    EXPECT_EQ(port.Settings(), "19200,n,8,1");
    EXPECT_EQ(port.openedLine.baud, 19200);
    EXPECT_EQ(port.openedName, platform::portDeviceName(2, ""));
    EXPECT_EQ(port.Handshaking(), 0);
}

TEST_F(SerialOpenTest, ConfiguredDevicePathIsOpened) {
    serial.settings().DevicePath = "/dev/pts/7";
    serial.open();
    EXPECT_EQ(port.openedName, "/dev/pts/7");
}

TEST_F(SerialOpenTest, CallingItTwiceReopensWithTheCurrentSettings) {
    serial.open();
    serial.settings().BaudRate = "4800";
    serial.open();
    EXPECT_EQ(port.opens, 2);
    EXPECT_EQ(port.closes, 1);
    EXPECT_EQ(port.openedLine.baud, 4800);
}

TEST_F(SerialOpenTest, FailureGivesThePlatformDescriptionUnderItsCaption) {
    port.openFailure = "/dev/ttyS0: No such file or directory";
    const auto error = serial.open();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->text(), "/dev/ttyS0: No such file or directory");
    EXPECT_EQ(error->caption, "RS232 Init");
    serial.settings().BaudRate = "fast";
    EXPECT_NE(serial.open()->text().find("fast,n,8,1"), std::string::npos);
    EXPECT_TRUE(host.messages().empty()) << "the transport shows nothing itself";
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

class SerialExchange : public LinkFixture {
protected:
    void SetUp() override { useSerial(); }
};

TEST_F(SerialExchange, CommandIsWrittenAsALineAndPausedFor) {
    EXPECT_FALSE(serial.send("*IDN?"));
    EXPECT_EQ(port.written, std::vector<std::string>{"*IDN?\n"});
    EXPECT_EQ(host.sleeps(), std::vector<int>{19});  // 3.125 x 6 = 18.75
}

TEST_F(SerialExchange, FailedWriteGivesItsDescriptionAndSkipsThePause) {
    port.writeFailure = "Resource temporarily unavailable";
    const auto error = serial.send("*IDN?");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->text(), "Resource temporarily unavailable");
    EXPECT_EQ(error->caption, "RS232 Send Message");
    EXPECT_FALSE(error->lost());
    EXPECT_TRUE(host.sleeps().empty());
}

// A reply that came after its query gave up, whether it still waits in the input or came
// while nobody waited, is not taken for the reply of the next query, nor does it shift the
// replies after that.
TEST_F(SerialExchange, LateReplyIsDropped) {
    const struct {
        const char* when;
        std::function<void()> arrives;
    } rows[] = {
        {"waiting in the input at the send", [this] { port.arrive("EDGE\n"); }},
        {"after its query timed out",
         [this] {
             EXPECT_EQ(channel.QueryCommand(":TRIGGER:MODE?"), "");
             port.deliver("EDGE\n");
         }},
    };
    for (const auto& row : rows) {
        row.arrives();
        deliverAfter(10, "ON\n");
        EXPECT_EQ(channel.QueryCommand(":CHANNEL1:DISPLAY?"), "ON") << row.when;
        deliverAfter(10, "Y-T\n");
        EXPECT_EQ(channel.QueryCommand(":TIMEBASE:FORMAT?"), "Y-T") << row.when;
    }
}

// Bytes that came during the command's own pause are this command's reply.
TEST_F(SerialExchange, ReplyArrivingDuringThePauseIsKept) {
    port.onWrite = [this](const std::string&) { port.deliver(block("abc")); };
    serial.send(":SYSTEM:DATA?");
    const auto reply = serial.readBlock(4096);
    ASSERT_TRUE(reply.ok());
    EXPECT_EQ(std::string(reply.value.begin(), reply.value.end()), "abc");
}

TEST_F(SerialExchange, SilenceEndsAfterFortyTicksForTextAndAHundredForBlocks) {
    for (const auto& [block, ms] : {std::pair{false, 4000}, {true, 10000}}) {
        serial.send("*IDN?");
        const auto start = host.nowMs();
        const auto error = block ? serial.readBlock(6200).error : serial.readLine().error;
        ASSERT_TRUE(error);
        EXPECT_EQ(error->shortfall(), "time-out");
        EXPECT_FALSE(error->shown());
        EXPECT_NEAR(static_cast<double>(host.nowMs() - start), ms, 100) << block;
    }
}

struct TrickleRow {
    const char* name;
    bool block;
    size_t bytes;     // a line of digits, or a block of as many payload bytes
    size_t perChunk;  // bytes a chunk brings
    int gapMs;        // between two chunks
    bool whole;       // the reply comes whole; else it ends as a time-out
    int64_t endsByMs;
};

std::ostream& operator<<(std::ostream& out, const TrickleRow& row) { return out << row.name; }

class SerialTrickle : public LinkFixture, public ::testing::WithParamInterface<TrickleRow> {
protected:
    void SetUp() override { useSerial(); }
};

// However its bytes trickle in, a reply ends 10 s after the time they take on the line (at
// 9600 baud, a byte every 1.04 ms).
TEST_P(SerialTrickle, EndsTenSecondsAfterItsBytesTimeOnTheLine) {
    const TrickleRow& row = GetParam();
    const std::string payload(row.bytes, '7');
    const std::string reply = row.block ? block(payload) : payload + "\n";
    serial.send("*IDN?");
    for (size_t at = 0, chunk = 1; at < reply.size(); at += row.perChunk, ++chunk)
        deliverAfter(static_cast<int64_t>(chunk) * row.gapMs, reply.substr(at, row.perChunk));
    const auto start = host.nowMs();
    const auto error = row.block ? serial.readBlock(65536).error : serial.readLine().error;
    EXPECT_EQ(!error, row.whole);
    EXPECT_EQ(error ? error->shortfall() : "", row.whole ? "" : "time-out");
    EXPECT_LE(host.nowMs() - start, row.endsByMs);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, SerialTrickle, ::testing::Values(
    TrickleRow{"LineOfAByteEveryThreeSeconds", false, 10, 1, 3000, false, 10'100},
    TrickleRow{"BlockOfAByteEveryThreeSeconds", true, 6, 1, 3000, false, 10'100},
    TrickleRow{"BlockAtTheLineRateTakesItsTime", true, 12'000, 96, 100, true, 12'700},
    TrickleRow{"BlockFiveSecondsSlowerStillComes", true, 12'000, 96, 140, true, 17'700}),
    [](const auto& row) { return row.param.name; });
// clang-format on

TEST_F(SerialExchange, EveryChunkRestartsTheTimeOut) {
    deliverAfter(3000, "12");
    deliverAfter(6000, "34");
    deliverAfter(9000, "5\n");
    EXPECT_EQ(channel.QueryCommand("*IDN?"), "12345");
    deliverAfter(3000, "12");
    deliverAfter(7500, "3\n");
    EXPECT_EQ(channel.QueryCommand("*IDN?"), "") << "trickling slower than the time-out";
}

TEST_F(SerialExchange, BlockAnnouncingTooMuchEndsAtOnceAndIsForgottenByTheNext) {
    deliverAfter(10, std::string{'\xff', '\xff', '\xff', '\xff'});
    serial.send(":WAVEFORM:DATA? CHANNEL1");
    const auto start = host.nowMs();
    EXPECT_EQ(serial.readBlock(6200).error->failure, LinkFailure::TooLong);
    EXPECT_LT(host.nowMs() - start, 1000);
    deliverAfter(10, block("ok"));
    serial.send(":WAVEFORM:DATA? CHANNEL1");
    EXPECT_TRUE(serial.readBlock(6200).ok());
}

TEST_F(SerialExchange, OtherEventsAreDescribedAndStartTheCommTimerForTwoSeconds) {
    port.raise(SerialPortControl::ComEvSend);
    EXPECT_FALSE(serial.commTimerEnabled());
    port.raise(1004);
    EXPECT_EQ(serial.lastEventDescription(), "Framing Error");
    EXPECT_TRUE(serial.commTimerEnabled());
    for (int i = 0; i < 19; ++i) serial.onReplyTick();
    EXPECT_TRUE(serial.commTimerEnabled());
    serial.onReplyTick();
    EXPECT_FALSE(serial.commTimerEnabled());
}

// After the loss every wait and every send ends at once, as a lost link.
TEST_F(SerialExchange, UnpluggedPortEndsTheWaitAtOnceAndFailsWhatFollows) {
    host.after(50, [this] { port.unplug(); });
    serial.send("*IDN?");
    const auto start = host.nowMs();
    const auto error = serial.readLine().error;
    EXPECT_LT(host.nowMs() - start, 100);
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->lost());
    EXPECT_EQ(error->shortfall(), "port closed");
    EXPECT_EQ(serial.lastEventDescription(), "Unknown error or event");
    const auto sendError = serial.send(":RUN");
    ASSERT_TRUE(sendError);
    EXPECT_TRUE(sendError->lost());
    EXPECT_EQ(sendError->caption + ": " + sendError->text(),
              "RS232 Send Message: Operation valid only when the port is open");
    EXPECT_TRUE(serial.readBlock(6200).error->lost());
    EXPECT_TRUE(host.messages().empty());
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
