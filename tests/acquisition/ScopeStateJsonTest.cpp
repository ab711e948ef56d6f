#include "acquisition/ScopeStateJson.h"

#include <gtest/gtest.h>

namespace tracebay::acquisition {
namespace {

TEST(ScopeStateJson, RoundTripKeepsEveryField) {
    ScopeState s;
    s.HasData = true;
    s.TriggerMode = "ALTERNATION";
    s.Ch1ScaleText = "500mV";
    s.AltCh2TimeOffsetText = "-200.0us";
    s.PointCount = 600;
    s.Ch1Samples.assign(ScopeState::SampleCount, 0);
    s.Ch1Samples[214] = -26;
    s.LaSamples.assign(ScopeState::SampleCount, 255);
    for (size_t i = 0; i < SystemBlock::Size; ++i)
        s.SystemBlock.bytes[i] = static_cast<uint8_t>(i * 3);
    s.CapturedLa = true;
    std::string error;
    const auto back = fromJson(toJson(s), error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->TriggerMode, "ALTERNATION");
    EXPECT_EQ(back->Ch1ScaleText, "500mV");
    EXPECT_EQ(back->AltCh2TimeOffsetText, "-200.0us");
    EXPECT_EQ(back->PointCount, 600);
    EXPECT_EQ(back->Ch1Samples, s.Ch1Samples);
    EXPECT_EQ(back->LaSamples, s.LaSamples);
    EXPECT_TRUE(back->Ch2Samples.empty());
    EXPECT_EQ(back->SystemBlock.bytes, s.SystemBlock.bytes);
    EXPECT_TRUE(back->HasData);
    EXPECT_TRUE(back->CapturedLa);
}

TEST(ScopeStateJson, BlockIsLowercaseHexAndEmptyArraysStayEmpty) {
    ScopeState s;
    s.SystemBlock.bytes[0] = 0xAB;
    const std::string json = toJson(s);
    EXPECT_NE(json.find("\"SystemBlock\":\"ab00"), std::string::npos);
    EXPECT_NE(json.find("\"Ch2Samples\":[]"), std::string::npos);
}

TEST(ScopeStateJson, BadDocumentsAreRefused) {
    std::string error;
    EXPECT_FALSE(fromJson("not json", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fromJson(R"({"Ch1Samples": [1, 2, 3]})", error));
    EXPECT_NE(error.find("Ch1Samples"), std::string::npos);
    EXPECT_FALSE(fromJson(R"({"SystemBlock": "abcd"})", error));
    EXPECT_TRUE(fromJson("{}", error));
}

}  // namespace
}  // namespace tracebay::acquisition
