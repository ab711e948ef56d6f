#include "sim/SerialFace.h"

#include <gtest/gtest.h>

namespace tracebay::sim {
namespace {

class SerialFaceTest : public ::testing::Test {
protected:
    std::string all(const std::vector<SerialWrite>& writes) {
        std::string bytes;
        for (const auto& w : writes) bytes += w.bytes;
        return bytes;
    }

    Instrument instrument;
    Faults faults;
    SerialFace face{instrument, faults};
};

TEST_F(SerialFaceTest, CommandLinesMaySplitAnywhere) {
    std::vector<std::string> seen;
    face.onCommand = [&](const std::string& c) { seen.push_back(c); };
    EXPECT_TRUE(face.receive(":CHANNEL1:SC").empty());
    EXPECT_EQ(all(face.receive("ALE?\n:TIMEBASE:FORMAT?\n:RUN")), "5.000e-01\nY-T\n");
    EXPECT_EQ(seen, (std::vector<std::string>{":CHANNEL1:SCALE?", ":TIMEBASE:FORMAT?"}));
}

TEST_F(SerialFaceTest, CommandsWithoutReplyWriteNothing) {
    EXPECT_TRUE(face.receive(":KEY:RUN\n").empty());
    EXPECT_FALSE(instrument.state().running);
}

TEST_F(SerialFaceTest, BlocksCarryALittleEndianLength) {
    const std::string bytes = all(face.receive(":SYSTEM:DATA?\n"));
    ASSERT_EQ(bytes.size(), 116u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x70\x00\x00\x00", 4));
    const std::string ch1 = all(face.receive(":WAVEFORM:DATA? CHANNEL1\n"));
    EXPECT_EQ(ch1.substr(0, 4), std::string("\x2f\x03\x00\x00", 4));  // 815
}

TEST_F(SerialFaceTest, SilentFaultOnlyHitsItsTarget) {
    faults.silent = true;
    faults.target = "CHANNEL2";
    EXPECT_TRUE(face.receive(":WAVEFORM:DATA? CHANNEL2\n").empty());
    EXPECT_FALSE(face.receive(":WAVEFORM:DATA? CHANNEL1\n").empty());
}

TEST_F(SerialFaceTest, TrickleSendsOneByteAtATime) {
    faults.trickleMs = 5000;
    const auto writes = face.receive("*IDN?\n");
    ASSERT_GT(writes.size(), 10u);
    for (const auto& w : writes) {
        EXPECT_EQ(w.bytes.size(), 1u);
        EXPECT_EQ(w.delayMs, 5000);
    }
}

TEST_F(SerialFaceTest, PrefixCanAnnounceMoreOrFewer) {
    faults.prefixDelta = -12;
    const std::string fewer = all(face.receive(":SYSTEM:DATA?\n"));
    EXPECT_EQ(static_cast<uint8_t>(fewer[0]), 100);
    EXPECT_EQ(fewer.size(), 116u);
    faults.prefixDelta = 1000;
    const std::string more = all(face.receive(":SYSTEM:DATA?\n"));
    EXPECT_EQ(static_cast<uint8_t>(more[0]) | (static_cast<uint8_t>(more[1]) << 8), 1112);
}

TEST_F(SerialFaceTest, SplitPrefixComesInTwoWrites) {
    faults.splitPrefix = true;
    const auto writes = face.receive(":SYSTEM:DATA?\n");
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].bytes.size(), 2u);
    EXPECT_EQ(writes[1].bytes.size(), 114u);
}

TEST_F(SerialFaceTest, OversizeBlockIsPaddedAndAnnouncedHonestly) {
    faults.oversize = 70000;
    const std::string bytes = all(face.receive(":WAVEFORM:DATA? CHANNEL1\n"));
    EXPECT_EQ(bytes.size(), 70004u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x70\x11\x01\x00", 4));
}

TEST_F(SerialFaceTest, GarbageReplacesTheReply) {
    faults.garbage = true;
    const std::string bytes = all(face.receive("*IDN?\n"));
    EXPECT_EQ(bytes.find("KAVLO"), std::string::npos);
    EXPECT_EQ(bytes.back(), '\n');
}

TEST_F(SerialFaceTest, DisappearingDeviceSendsHalfAReply) {
    faults.disappearMidReply = true;
    const auto writes = face.receive(":SYSTEM:DATA?\n");
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].bytes.size(), 58u);
    EXPECT_TRUE(writes[0].thenDisappear);
}

TEST(FaultSpec, NamesAndValues) {
    Faults f;
    EXPECT_TRUE(applyFault(f, "trickle=4500"));
    EXPECT_TRUE(applyFault(f, "prefix-delta=-3"));
    EXPECT_TRUE(applyFault(f, "target=CHANNEL2"));
    EXPECT_TRUE(applyFault(f, "short-packet"));
    EXPECT_FALSE(applyFault(f, "trickle=soon"));
    EXPECT_FALSE(applyFault(f, "trickle=10s"));  // refused whole: the 10 is not taken
    EXPECT_FALSE(applyFault(f, "oversize=7000x"));
    EXPECT_FALSE(applyFault(f, "meltdown"));
    EXPECT_EQ(f.trickleMs, 4500);
    EXPECT_EQ(f.oversize, 0u);
    EXPECT_EQ(f.prefixDelta, -3);
    EXPECT_EQ(f.target, "CHANNEL2");
    EXPECT_TRUE(f.shortFirstPacket);
}

}  // namespace
}  // namespace tracebay::sim
