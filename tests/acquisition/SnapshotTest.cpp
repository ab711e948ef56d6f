#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/SessionRig.h"

namespace tracebay::acquisition {
namespace {

using testing::SessionRig;
using testing::Transport;

using Commands = std::vector<std::string>;

class Snapshot : public ::testing::TestWithParam<Transport> {};

TEST_P(Snapshot, PlainYtWithCh1FollowsTheFixedOrder) {
    SessionRig rig(GetParam());
    ASSERT_TRUE(rig.connect());
    const ScopeState& s = rig.upload(true);
    EXPECT_EQ(rig.commands, (Commands{":TRIGGER:STATUS?", ":MATH:DISPLAY?", ":FFT:DISPLAY?",
                                      ":CHANNEL1:DISPLAY ON", ":CHANNEL1:DISPLAY?", ":SYSTEM:DATA?",
                                      ":TRIGGER:MODE?", ":TIMEBASE:FORMAT?", ":CHANNEL1:SCALE?",
                                      ":CHANNEL1:OFFSET?", ":TIMEBASE:SCALE?", ":TIMEBASE:OFFSET?",
                                      ":WAVEFORM:DATA? CHANNEL1"}));
    EXPECT_TRUE(s.IsYT);
    EXPECT_FALSE(s.IsXY);
    EXPECT_EQ(s.TriggerMode, "EDGE");
    EXPECT_EQ(s.MathDisplay, "OFF");
    EXPECT_EQ(s.FftDisplay, "OFF");
    EXPECT_FALSE(s.DualScreen);
    EXPECT_EQ(s.PointCount, 600);
    EXPECT_EQ(s.Ch1ScaleText, "500mV");
    EXPECT_EQ(s.Ch1OffsetText, "1.00V");
    EXPECT_EQ(s.TimeScaleText, "500.0us");
    EXPECT_EQ(s.TimeOffsetText, "0.000s");
    EXPECT_TRUE(s.CapturedCh1);
    EXPECT_FALSE(s.CapturedCh2);
    EXPECT_EQ(s.SystemBlock.ScreenEnd(), 299);
    ASSERT_EQ(s.Ch1Samples.size(), ScopeState::SampleCount);
    EXPECT_TRUE(s.Ch2Samples.empty());
    EXPECT_TRUE(rig.host.messages().empty());
}

TEST_P(Snapshot, XyFetchesBothChannelsAndTicksThem) {
    SessionRig rig(GetParam(), "xy");
    ASSERT_TRUE(rig.connect());
    const ScopeState& s = rig.upload(true);
    EXPECT_TRUE(s.IsXY);
    EXPECT_TRUE(s.CapturedCh2);
    EXPECT_EQ(rig.settledSources.back().second, (session::Sources{true, true, false, false}));
    EXPECT_EQ(rig.commands.back(), ":WAVEFORM:DATA? CHANNEL2");
    EXPECT_EQ(rig.progressValues, (std::vector<double>{50, 100}));
    EXPECT_FALSE(s.Ch2Samples.empty());
    EXPECT_FALSE(s.Ch2ScaleText.empty());
}

TEST_P(Snapshot, AlternateTriggerReadsBothHalvesTimeBases) {
    SessionRig rig(GetParam(), "alternate");
    ASSERT_TRUE(rig.connect());
    const ScopeState& s = rig.upload(true, true);
    EXPECT_TRUE(s.DualScreen);
    EXPECT_EQ(s.AltCh1TimeScaleText, "500.0us");
    EXPECT_EQ(s.AltCh1TimeOffsetText, "0.000s");
    EXPECT_EQ(s.AltCh2TimeScaleText, "200.0us");
    EXPECT_EQ(s.AltCh2TimeOffsetText, "100.0us");
    EXPECT_EQ(s.TimeScaleText, "");
    EXPECT_EQ(std::count(rig.commands.begin(), rig.commands.end(), ":TIMEBASE:SCALE?"), 0);
    Commands sources;
    for (const auto& c : rig.commands)
        if (c.find(":SOURCE") != std::string::npos) sources.push_back(c);
    EXPECT_EQ(sources, (Commands{":TRIGGER:ALTERNATION:SOURCE CHANNEL1",
                                 ":TRIGGER:ALTERNATION:SOURCE CHANNEL2"}));
}

TEST_P(Snapshot, FftOnSplitScreenIsFetchedForTheMathBox) {
    SessionRig rig(GetParam(), "fft-split");
    ASSERT_TRUE(rig.connect());
    const ScopeState& s = rig.upload(false, false, true);
    EXPECT_EQ(s.FftDisplay, "ON");
    EXPECT_TRUE(s.DualScreen);
    EXPECT_EQ(rig.commands.back(), ":WAVEFORM:DATA? FFT");
    EXPECT_FALSE(s.FftSamples.empty());
    EXPECT_TRUE(s.MathSamples.empty());
    // The bar moves while a block comes in over the serial line, not over USB.
    EXPECT_EQ(rig.lastProgressStep(), GetParam() == Transport::Serial ? 1 : 0);
}

TEST_P(Snapshot, FftOnFullScreenIsNoDualScreen) {
    SessionRig rig(GetParam(), "fft-full");
    ASSERT_TRUE(rig.connect());
    EXPECT_FALSE(rig.upload(false, false, true).DualScreen);
}

TEST_P(Snapshot, MathBoxSwitchesMathOnAndFetchesIt) {
    SessionRig rig(GetParam());
    ASSERT_TRUE(rig.connect());
    const ScopeState& s = rig.upload(false, false, true);
    EXPECT_TRUE(rig.instrument.state().mathOn);
    EXPECT_EQ(s.MathDisplay, "ON");
    EXPECT_EQ(rig.commands.back(), ":WAVEFORM:DATA? MATH");
    EXPECT_FALSE(s.MathSamples.empty());
    EXPECT_EQ(rig.lastProgressStep(), GetParam() == Transport::Serial ? 3 : 0);
}

TEST_P(Snapshot, LogicLinesOnAModelWithTheAnalyzer) {
    SessionRig rig(GetParam(), "logic");
    ASSERT_TRUE(rig.connect());
    const ScopeState& s = rig.upload(true, false, false, true);
    EXPECT_TRUE(s.CapturedLa);
    EXPECT_EQ(rig.commands.back(), ":WAVEFORM:DATA? DIGITAL");
    const std::string block = rig.instrument.execute(":WAVEFORM:DATA? DIGITAL")->bytes;
    for (size_t i = 1; i <= block.size(); ++i)
        ASSERT_EQ(s.LaSamples[i], static_cast<uint8_t>(block[i - 1])) << i;  // unchanged bytes
    EXPECT_EQ(rig.progressValues.back(), 100);
}

TEST_P(Snapshot, LogicBoxOnAModelWithoutItSendsNoLogicCommand) {
    sim::Identity id;
    id.model = "QM1102";
    SessionRig rig(GetParam(), "yt", id);
    ASSERT_TRUE(rig.connect());
    const ScopeState& s = rig.upload(true, false, false, true);
    EXPECT_FALSE(s.ShowLa);
    EXPECT_FALSE(s.CapturedLa);
    EXPECT_EQ(rig.settledSources.back().second, (session::Sources{true, false, false, false}));
    for (const auto& c : rig.commands) EXPECT_EQ(c.find(":LA"), std::string::npos) << c;
}

TEST_P(Snapshot, RefusedTraceIsUntickedAndNotFetched) {
    SessionRig rig(GetParam());
    ASSERT_TRUE(rig.connect());
    rig.faults.target = ":CHANNEL2:DISPLAY?";
    rig.faults.garbage = true;
    const ScopeState& s = rig.upload(true, true);
    EXPECT_FALSE(s.ShowCh2);
    EXPECT_FALSE(s.CapturedCh2);
    // Told at the snapshot, before any sample block is asked for.
    ASSERT_EQ(rig.settledSources.size(), 1u);
    EXPECT_EQ(rig.settledSources[0], std::pair(session::Sources{true, true, false, false},
                                               session::Sources{true, false, false, false}));
    for (size_t i = 0; i < rig.commandsBeforeSettled; ++i)
        EXPECT_EQ(rig.commands[i].find(":WAVEFORM"), std::string::npos) << rig.commands[i];
    for (const auto& c : rig.commands) EXPECT_NE(c, ":WAVEFORM:DATA? CHANNEL2");
    EXPECT_EQ(rig.progressValues, std::vector<double>{100});
}

TEST_P(Snapshot, EveryTraceRefusedStillReadsTheSettings) {
    SessionRig rig(GetParam());
    ASSERT_TRUE(rig.connect());
    rig.faults.target = ":DISPLAY?";
    rig.faults.garbage = true;
    const ScopeState& s = rig.upload(true, true);
    EXPECT_FALSE(s.ShowCh1);
    EXPECT_FALSE(s.ShowCh2);
    EXPECT_EQ(rig.commands,
              (Commands{":TRIGGER:STATUS?", ":MATH:DISPLAY?", ":FFT:DISPLAY?",
                        ":CHANNEL1:DISPLAY ON", ":CHANNEL1:DISPLAY?", ":CHANNEL2:DISPLAY ON",
                        ":CHANNEL2:DISPLAY?", ":SYSTEM:DATA?", ":TRIGGER:MODE?",
                        ":TIMEBASE:FORMAT?", ":TIMEBASE:SCALE?", ":TIMEBASE:OFFSET?"}));
    EXPECT_TRUE(rig.progressValues.empty());
}

TEST_P(Snapshot, ScanFormatFetchesSettingsOnly) {
    SessionRig rig(GetParam(), "scan");
    ASSERT_TRUE(rig.connect());
    const ScopeState& s = rig.upload(true);
    EXPECT_FALSE(s.IsYT);
    EXPECT_FALSE(s.IsXY);
    EXPECT_EQ(rig.commands.back(), ":TIMEBASE:OFFSET?");
    EXPECT_EQ(s.TimeScaleText, "100.0ms");
}

INSTANTIATE_TEST_SUITE_P(Transports, Snapshot,
                         ::testing::Values(Transport::Serial, Transport::Usb));

TEST(SnapshotTiming, AlternateSourcesWaitTwoHundredMillisecondsEach) {
    SessionRig rig(Transport::Usb, "alternate");
    ASSERT_TRUE(rig.connect());
    rig.upload(true);
    // A USB command takes no virtual time: what lies between a source command and the next
    // command is the pause alone, the channel's 100 ms and 100 ms more.
    int sources = 0;
    for (size_t i = 0; i + 1 < rig.commands.size(); ++i) {
        if (rig.commands[i].find(":SOURCE") == std::string::npos) continue;
        ++sources;
        EXPECT_EQ(rig.commandTimes[i + 1] - rig.commandTimes[i], 200) << rig.commands[i];
    }
    EXPECT_EQ(sources, 2);
    EXPECT_EQ(rig.host.sleeps().back(), 200);  // the pause that ends the upload
}

TEST(SnapshotFailures, SystemBlockThatDoesNotComeLeavesTheOldOne) {
    SessionRig rig(Transport::Serial);
    ASSERT_TRUE(rig.connect());
    const auto first = rig.upload(true).SystemBlock.bytes;
    rig.faults.target = ":SYSTEM:DATA?";
    rig.faults.silent = true;
    rig.instrument.state().la.mask = 0x1234;
    EXPECT_EQ(rig.upload(true).SystemBlock.bytes, first);
}

// The boxes once an upload's snapshot has settled: what the instrument changed follows it, what
// the user changed since the upload was asked for stays.
TEST(SettledSources, TheInstrumentsChangesFollowAndTheUsersStay) {
    const Sources ch1{true}, ch1Ch2{true, true}, ch1La{true, false, false, true}, none{};
    const struct {
        const char* why;
        Sources ticks, asked, settled, expected;
    } rows[] = {
        {"LA refused", ch1La, ch1La, ch1, ch1},
        {"X-Y adds CH2", ch1, ch1, ch1Ch2, ch1Ch2},
        {"CH2 ticked after the upload was asked for", ch1Ch2, ch1, ch1, ch1Ch2},
        {"CH1 unticked after the upload was asked for", none, ch1, ch1, none},
        {"LA ticked after, while X-Y adds CH2", Sources{true, false, false, true}, ch1, ch1Ch2,
         Sources{true, true, false, true}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.ticks.settledBy(row.asked, row.settled), row.expected) << row.why;
}

}  // namespace
}  // namespace tracebay::acquisition
