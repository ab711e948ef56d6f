#include "sim/Instrument.h"

#include <gtest/gtest.h>

namespace tracebay::sim {
namespace {

std::string text(Instrument& instrument, const std::string& command) {
    const auto reply = instrument.execute(command);
    if (!reply) return "<none>";
    EXPECT_EQ(reply->kind, Reply::Kind::Text) << command;
    return reply->bytes;
}

TEST(Instrument, IdentifiesItselfWithItsFourFields) {
    Identity id;
    id.model = "QM1052";
    id.serial = "SN7";
    id.firmware = "01.02.00";
    Instrument instrument(id);
    EXPECT_EQ(text(instrument, "*IDN?"), "KAVLO TECHNOLOGIES,QM1052,SN7,01.02.00");
}

TEST(Instrument, NumbersComeInExponentNotation) {
    Instrument instrument;
    instrument.state().channels[0].scale = 0.5;
    instrument.state().channels[1].offset = -2;
    instrument.state().timebase.scale = 200e-6;
    EXPECT_EQ(text(instrument, ":CHANNEL1:SCALE?"), "5.000e-01");
    EXPECT_EQ(text(instrument, ":CHANNEL2:OFFSET?"), "-2.000e+00");
    EXPECT_EQ(text(instrument, ":TIMEBASE:SCALE?"), "2.000e-04");
    EXPECT_EQ(text(instrument, ":TIMEBASE:OFFSET?"), "0.000e+00");
}

TEST(Instrument, KeywordRepliesFollowTheState) {
    Instrument instrument;
    auto& s = instrument.state();
    EXPECT_EQ(text(instrument, ":TIMEBASE:FORMAT?"), "Y-T");
    s.format = TimeFormat::XY;
    EXPECT_EQ(text(instrument, ":TIMEBASE:FORMAT?"), "X-Y");
    s.format = TimeFormat::Scanning;
    EXPECT_EQ(text(instrument, ":TIMEBASE:FORMAT?"), "SCANNING");
    EXPECT_EQ(text(instrument, ":TRIGGER:MODE?"), "EDGE");
    s.triggerMode = TriggerMode::Alternation;
    EXPECT_EQ(text(instrument, ":TRIGGER:MODE?"), "ALTERNATION");
    EXPECT_EQ(text(instrument, ":TRIGGER:STATUS?"), "TRIG'D");
    s.running = false;
    EXPECT_EQ(text(instrument, ":TRIGGER:STATUS?"), "STOP");
}

TEST(Instrument, DisplaySwitchesAreSetAndRead) {
    Instrument instrument;
    EXPECT_EQ(instrument.execute(":CHANNEL2:DISPLAY OFF"), std::nullopt);
    EXPECT_EQ(text(instrument, ":CHANNEL2:DISPLAY?"), "OFF");
    instrument.execute(":CHANNEL2:DISPLAY ON");
    EXPECT_EQ(text(instrument, ":CHANNEL2:DISPLAY?"), "ON");
    EXPECT_EQ(text(instrument, ":MATH:DISPLAY?"), "OFF");
    EXPECT_EQ(text(instrument, ":FFT:DISPLAY?"), "OFF");
    instrument.execute(":FFT:DISPLAY ON");
    EXPECT_EQ(text(instrument, ":MATH:DISPLAY?"), "ON");
    EXPECT_EQ(text(instrument, ":FFT:DISPLAY?"), "ON");
    instrument.execute(":LA:DISPLAY ON");
    EXPECT_EQ(text(instrument, ":LA:DISPLAY?"), "ON");
    instrument.execute(":DISPLAY:MENUDISPLAY OFF");
    EXPECT_FALSE(instrument.state().menuDisplay);
    instrument.execute(":KEY:LOCK:ENABLE");
    EXPECT_TRUE(instrument.state().keyLocked);
}

TEST(Instrument, ModelWithoutLogicAnalyzerIgnoresLogicCommands) {
    Identity id;
    id.model = "QM1102";
    Instrument instrument(id);
    EXPECT_EQ(instrument.execute(":LA:DISPLAY ON"), std::nullopt);
    EXPECT_EQ(instrument.execute(":LA:DISPLAY?"), std::nullopt);
    EXPECT_EQ(instrument.execute(":WAVEFORM:DATA? DIGITAL"), std::nullopt);
    EXPECT_FALSE(instrument.state().la.on);
}

TEST(Instrument, AlternateTimeBaseFollowsTheChosenSource) {
    Instrument instrument;
    auto& s = instrument.state();
    s.altTimebase = {TimeBase{1e-3, 0}, TimeBase{2e-6, -1e-6}};
    instrument.execute(":TRIGGER:ALTERNATION:SOURCE CHANNEL2");
    EXPECT_EQ(text(instrument, ":TRIGGER:ALTERNATION:TIMESCALE?"), "2.000e-06");
    EXPECT_EQ(text(instrument, ":TRIGGER:ALTERNATION:TIMEOFFSET?"), "-1.000e-06");
    instrument.execute(":TRIGGER:ALTERNATION:SOURCE CHANNEL1");
    EXPECT_EQ(text(instrument, ":TRIGGER:ALTERNATION:TIMESCALE?"), "1.000e-03");
}

TEST(Instrument, BlocksAnswerDataQueries) {
    Instrument instrument;
    const auto system = instrument.execute(":SYSTEM:DATA?");
    ASSERT_TRUE(system);
    EXPECT_EQ(system->kind, Reply::Kind::Block);
    EXPECT_EQ(system->bytes.size(), 112u);
    const auto ch1 = instrument.execute(":WAVEFORM:DATA? CHANNEL1");
    ASSERT_TRUE(ch1);
    EXPECT_EQ(ch1->kind, Reply::Kind::Block);
    EXPECT_EQ(instrument.execute(":WAVEFORM:DATA? CHANNEL9"), std::nullopt);
}

TEST(Instrument, UnknownCommandsAndKeysAreIgnored) {
    Instrument instrument;
    const auto before = text(instrument, ":CHANNEL1:SCALE?");
    EXPECT_EQ(instrument.execute(":BOGUS:THING?"), std::nullopt);
    EXPECT_EQ(instrument.execute(":KEY:NO_SUCH_KEY"), std::nullopt);
    EXPECT_EQ(instrument.execute(""), std::nullopt);
    EXPECT_EQ(text(instrument, ":CHANNEL1:SCALE?"), before);
}

TEST(Instrument, HeadersAreCaseInsensitiveAndSettersTakeNumbers) {
    Instrument instrument;
    instrument.execute(":channel1:scale 2");
    instrument.execute(":TIMEBASE:OFFSET -1e-3");
    instrument.execute(":CHANNEL1:SCALE -5");  // refused: no negative scale
    EXPECT_EQ(text(instrument, ":CHANNEL1:SCALE?"), "2.000e+00");
    EXPECT_EQ(text(instrument, ":TIMEBASE:OFFSET?"), "-1.000e-03");
}

TEST(Instrument, SystemDataStartsANewAcquisitionOnlyWhileRunning) {
    Instrument instrument;
    instrument.execute(":SYSTEM:DATA?");
    EXPECT_EQ(instrument.state().acquisitions, 1u);
    instrument.execute(":KEY:RUN");
    instrument.execute(":SYSTEM:DATA?");
    EXPECT_EQ(instrument.state().acquisitions, 1u);
}

}  // namespace
}  // namespace tracebay::sim
