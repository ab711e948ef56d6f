#include <gtest/gtest.h>

#include "link/SerialTransport.h"
#include "platform/VirtualHost.h"
#include "tests/support/FakeSerialPort.h"
#include "tests/support/SessionRig.h"

namespace tracebay::acquisition {
namespace {

using testing::SessionRig;
using testing::Transport;

std::string block(const std::string& payload) {
    const auto n = static_cast<uint32_t>(payload.size());
    return std::string{static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF),
                       static_cast<char>((n >> 16) & 0xFF), static_cast<char>(n >> 24)} +
           payload;
}

// TransferSource on its own, fed crafted blocks over a fake serial port.
class TransferSourceTest : public ::testing::Test, protected ProgressView {
protected:
    void SetUp() override {
        ASSERT_FALSE(serial.open());
        acquisition.useSlot(slot);
    }
    void setProgressValue(double value) override { values.push_back(value); }
    void setProgressStep(int) override {}
    void sourcesSettled(const Sources&, const Sources&) override {}

    void receive(const std::string& bytes, ScopeState::Samples& target, bool noClamp,
                 const char* label = "CH1") {
        if (!bytes.empty()) host.after(10, [this, bytes] { port.deliver(bytes); });
        channel.SendCommand(":WAVEFORM:DATA? CHANNEL1");
        acquisition.TransferSource(target, 50, noClamp, label);
    }

    platform::VirtualHost host{1};
    testing::FakeSerialPort port;
    link::SerialTransport serial{host, port};
    link::CommandChannel channel{host, serial};
    Connection connection{channel};
    Acquisition acquisition{channel, connection, *this};
    ScopeState slot;
    std::vector<double> values;
};

const std::string EdgeBytes = std::string("\x00\x1a\x7e\xe1\xff", 5);  // 0, 26, 126, 225, 255

TEST_F(TransferSourceTest, AnalogBytesBecomeRowsClampedToTheGrid) {
    ScopeState::Samples target;
    receive(block(EdgeBytes), target, false);
    ASSERT_EQ(target.size(), ScopeState::SampleCount);
    EXPECT_EQ(std::vector<int32_t>(target.begin() + 1, target.begin() + 6),
              (std::vector<int32_t>{0, 0, 100, 199, 199}));
}

TEST_F(TransferSourceTest, XyChannelOneIsNotClamped) {
    ScopeState::Samples target;
    receive(block(EdgeBytes), target, true);
    EXPECT_EQ(std::vector<int32_t>(target.begin() + 1, target.begin() + 6),
              (std::vector<int32_t>{-26, 0, 100, 199, 229}));
}

TEST_F(TransferSourceTest, LogicBytesStayAsTheyCame) {
    ScopeState::Samples target;
    receive(block(EdgeBytes), target, false, "LA");
    EXPECT_EQ(std::vector<int32_t>(target.begin() + 1, target.begin() + 6),
              (std::vector<int32_t>{0, 26, 126, 225, 255}));
}

TEST_F(TransferSourceTest, BlockThatNeverComesLeavesTheTargetAsItWas) {
    ScopeState::Samples ch1;
    receive(block(std::string(815, '\x50')), ch1, false);
    ScopeState::Samples ch2(ScopeState::SampleCount, 7);
    receive("", ch2, false);  // silence: 100 ticks
    EXPECT_EQ(ch2, ScopeState::Samples(ScopeState::SampleCount, 7));
    EXPECT_EQ(values.back(), 50);  // the bar still moves on
    EXPECT_EQ(slot.Parts.back(), (UploadPart{"CH1", "time-out"}));
}

TEST_F(TransferSourceTest, ShorterBlockCarriesNothingOfTheBlockBefore) {
    ScopeState::Samples ch1;
    receive(block(std::string(815, '\x50')), ch1, false);
    ScopeState::Samples math;
    receive(block(std::string(300, '\x60')), math, false, "MATH");
    EXPECT_EQ(math[300], 0x60 - 26);
    for (size_t i = 301; i < math.size(); ++i) ASSERT_EQ(math[i], 0) << i;
}

TEST_F(TransferSourceTest, BlockLongerThanTheSampleArrayIsRefused) {
    ScopeState::Samples target(ScopeState::SampleCount, 3);
    receive(block(std::string(6201, '\x50')), target, false);
    EXPECT_EQ(target, ScopeState::Samples(ScopeState::SampleCount, 3));
}

// The bar moves by the step of the trace awaited, and stands still between blocks; the first
// upload's system block finds no step yet.
TEST(TransferProgress, AnimationRunsOnlyWhileABlockIsAwaited) {
    SessionRig rig(Transport::Serial, "logic");
    ASSERT_TRUE(rig.connect());
    rig.upload(true, false, false, true);
    EXPECT_EQ(rig.progressSteps, (std::vector<int>{0, 0, 3, 0, 1, 0}));
}

TEST(TransferProgress, OneTwoOrThreeTracesShareTheBar) {
    SessionRig one(Transport::Usb);
    ASSERT_TRUE(one.connect());
    one.upload(true);
    EXPECT_EQ(one.progressValues, std::vector<double>{100});

    SessionRig two(Transport::Usb);
    ASSERT_TRUE(two.connect());
    two.upload(true, true);
    EXPECT_EQ(two.progressValues, (std::vector<double>{50, 100}));

    SessionRig three(Transport::Usb);
    ASSERT_TRUE(three.connect());
    three.upload(true, true, true);
    ASSERT_EQ(three.progressValues.size(), 3u);
    EXPECT_FLOAT_EQ(static_cast<float>(three.progressValues[0]), 33.333333f);
    EXPECT_FLOAT_EQ(static_cast<float>(three.progressValues[1]), 66.666666f);
    EXPECT_FLOAT_EQ(static_cast<float>(three.progressValues[2]), 100.0f);
}

TEST(TransferProgress, LogicComesLastAndFillsTheBar) {
    SessionRig rig(Transport::Serial, "logic");
    ASSERT_TRUE(rig.connect());
    rig.upload(true, false, false, true);
    EXPECT_EQ(rig.progressValues, (std::vector<double>{50, 100}));
    EXPECT_EQ(rig.lastProgressStep(), 1);
}

TEST(TransferProgress, UploadMarksItselfBusyUntilDone) {
    SessionRig rig(Transport::Serial);
    ASSERT_TRUE(rig.connect());
    bool busyDuringTransfer = false;
    rig.host.onEveryPump(
        [&] { busyDuringTransfer |= rig.session().state() == session::State::Uploading; });
    rig.states.clear();
    rig.upload(true);
    EXPECT_TRUE(busyDuringTransfer);
    EXPECT_EQ(rig.states, (std::vector{session::State::Uploading, session::State::Connected}));
}

TEST(TransferFaults, TimedOutCh2KeepsItsOwnOldSamplesNotCh1s) {
    SessionRig rig(Transport::Serial);
    ASSERT_TRUE(rig.connect());
    const auto firstCh2 = rig.upload(true, true).Ch2Samples;
    rig.faults.target = ":WAVEFORM:DATA? CHANNEL2";
    rig.faults.silent = true;
    const ScopeState& s = rig.upload(true, true);
    EXPECT_EQ(s.Ch2Samples, firstCh2);
    EXPECT_NE(s.Ch2Samples, s.Ch1Samples);
    EXPECT_TRUE(s.missing("CH2"));  // kept, but not drawn
    EXPECT_TRUE(s.HasData);
}

TEST(TransferFaults, UsbBlockThatFailsReportsAndKeepsTheTarget) {
    SessionRig rig(Transport::Usb);
    ASSERT_TRUE(rig.connect());
    rig.faults.target = ":WAVEFORM:DATA? CHANNEL1";
    rig.faults.oversize = 7000;
    const ScopeState& s = rig.upload(true);
    EXPECT_TRUE(s.Ch1Samples.empty());
    ASSERT_EQ(rig.host.messages().size(), 1u);
    EXPECT_EQ(rig.host.messages()[0].text, "Cann't Read data from USB Device");
}

// What follows the loss ends at once: no wait of 10 s per block, one message for the sends.
TEST(TransferFaults, DeviceThatDisappearsMidBlockEndsTheUploadCleanly) {
    SessionRig rig(Transport::Serial);
    ASSERT_TRUE(rig.connect());
    rig.faults.target = ":WAVEFORM:DATA? CHANNEL1";
    rig.faults.disappearMidReply = true;
    int64_t lostAtMs = -1;
    rig.host.onEveryPump([&] {
        if (lostAtMs < 0 && !rig.port.PortOpen()) lostAtMs = rig.host.nowMs();
    });
    const ScopeState& s = rig.upload(true, true, true);
    EXPECT_TRUE(s.Ch1Samples.empty());
    EXPECT_TRUE(s.Ch2Samples.empty());
    EXPECT_FALSE(rig.port.PortOpen());
    ASSERT_GE(lostAtMs, 0);
    EXPECT_LT(rig.host.nowMs() - lostAtMs, 1000);
    ASSERT_EQ(rig.host.messages().size(), 1u);
    EXPECT_EQ(rig.host.messages()[0].caption, "RS232 Send Message");
}

// Each fault of the simulated instrument on one block of an upload of CH1, CH2 and MATH: only a
// whole block long enough for the screen counts, and the upload notes why any other did not.
struct FaultRow {
    const char* name;
    Transport transport;
    const char* fault;  // as the simulator's command line names it
    const char* target;
    std::vector<std::string> missing;  // "part: why"
};

std::ostream& operator<<(std::ostream& out, const FaultRow& row) { return out << row.name; }

class UploadFaults : public ::testing::TestWithParam<FaultRow> {};

TEST_P(UploadFaults, OnlyWholeBlocksCountAndTheRestAreNoted) {
    const FaultRow& row = GetParam();
    SessionRig rig(row.transport);
    ASSERT_TRUE(rig.connect());
    ASSERT_TRUE(sim::applyFault(rig.faults, row.fault));
    rig.faults.target = row.target;
    const ScopeState& s = rig.upload(true, true, true);
    std::vector<std::string> missing;
    for (const UploadPart& part : s.Parts)
        if (!part.arrived()) missing.push_back(part.name + ": " + part.failure);
    EXPECT_EQ(missing, row.missing);
    ASSERT_EQ(s.Parts.size(), 4u);
    EXPECT_EQ(s.Ch2Samples.empty(), s.missing("CH2"));  // a failed block leaves the array alone
    EXPECT_EQ(s.SystemBlock.ScreenEnd() == 0, s.missing("SystemBlock"));
    if (std::string_view(row.fault) == "disappear") return;
    // The next upload, the fault gone, has every part again.
    rig.faults = sim::Faults{};
    const ScopeState& again = rig.upload(true, true, true);
    ASSERT_EQ(again.Parts.size(), 4u);
    for (const UploadPart& part : again.Parts) EXPECT_TRUE(part.arrived()) << part.name;
    EXPECT_EQ(again.Ch2Samples.size(), ScopeState::SampleCount);
}

constexpr Transport Serial = Transport::Serial;
constexpr Transport Usb = Transport::Usb;
constexpr const char* Ch2 = ":WAVEFORM:DATA? CHANNEL2";
constexpr const char* System = ":SYSTEM:DATA?";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Faults, UploadFaults, ::testing::Values(
    FaultRow{"SerialSilent", Serial, "silent", Ch2, {"CH2: time-out"}},
    FaultRow{"SerialGarbage", Serial, "garbage", Ch2, {"CH2: 12 bytes, 812 needed"}},
    FaultRow{"SerialTrickle", Serial, "trickle=5", Ch2, {}},
    FaultRow{"SerialLongerPrefix", Serial, "prefix-delta=10", Ch2, {"CH2: time-out"}},
    FaultRow{"SerialShorterPrefix", Serial, "prefix-delta=-10", Ch2, {"CH2: time-out"}},
    FaultRow{"SerialSplitPrefix", Serial, "split-prefix", Ch2, {}},
    FaultRow{"SerialOversize", Serial, "oversize=7000", Ch2, {"CH2: 7000 bytes, more than 6200"}},
    FaultRow{"SerialDisappear", Serial, "disappear", Ch2,
             {"CH2: port closed", "MATH: port closed"}},
    FaultRow{"SerialSystemBlockGarbage", Serial, "garbage", System,
             {"SystemBlock: 12 bytes, 112 needed"}},
    FaultRow{"UsbSilent", Usb, "silent", Ch2, {"CH2: time-out"}},
    FaultRow{"UsbGarbage", Usb, "garbage", Ch2, {"CH2: 12 bytes, 812 needed"}},
    FaultRow{"UsbTrickle", Usb, "trickle=5", Ch2, {}},
    FaultRow{"UsbLongerPrefix", Usb, "prefix-delta=10", Ch2, {"CH2: read failed"}},
    FaultRow{"UsbShorterPrefix", Usb, "prefix-delta=-10", Ch2, {"CH2: 805 bytes, 812 needed"}},
    FaultRow{"UsbSplitPrefix", Usb, "split-prefix", Ch2, {}},
    FaultRow{"UsbOversize", Usb, "oversize=7000", Ch2, {"CH2: 7000 bytes, more than 6200"}},
    FaultRow{"UsbWrongMessageId", Usb, "wrong-message-id", Ch2, {"CH2: read failed"}},
    FaultRow{"UsbShortPacket", Usb, "short-packet", Ch2, {"CH2: read failed"}},
    // The read fails; the next command finds the device gone.
    FaultRow{"UsbDisappear", Usb, "disappear", Ch2, {"CH2: read failed", "MATH: no device"}},
    FaultRow{"UsbSystemBlockWrongMessageId", Usb, "wrong-message-id", System,
             {"SystemBlock: read failed"}}),
    [](const auto& row) { return row.param.name; });
// clang-format on

TEST(TransferFaults, PrefixSplitOverTwoWritesStillGivesTheBlock) {
    SessionRig rig(Transport::Serial);
    ASSERT_TRUE(rig.connect());
    rig.faults.splitPrefix = true;
    const ScopeState& s = rig.upload(true);
    EXPECT_EQ(s.Ch1Samples.size(), ScopeState::SampleCount);
    EXPECT_EQ(s.SystemBlock.ScreenEnd(), 299);
}

}  // namespace
}  // namespace tracebay::acquisition
