#include "acquisition/ScopeStateJson.h"

#include <gtest/gtest.h>

#include <chrono>

#include "acquisition/CaptureTime.h"

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

// When and from what an upload was made; a file saved before they were kept opens without them.
TEST(ScopeStateJson, CapturedAndInstrumentAreKept) {
    ScopeState s;
    s.Captured = "2026-12-07T14:03:22.512Z";
    s.Instrument = {"KAVLO", "QM1102D", "01.01.02", "QM11D2410007"};
    const std::string json = toJson(s);
    EXPECT_NE(json.find(R"("Captured":"2026-12-07T14:03:22.512Z")"), std::string::npos) << json;
    EXPECT_NE(json.find(R"("Instrument":{"Firmware":"01.01.02","Maker":"KAVLO",)"
                        R"("Model":"QM1102D","Serial":"QM11D2410007"})"),
              std::string::npos)
        << json;
    std::string error;
    const auto back = fromJson(json, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->Captured, s.Captured);
    EXPECT_EQ(back->Instrument, s.Instrument);
    const auto older = fromJson(R"({"HasData": true, "TriggerMode": "EDGE"})", error);
    ASSERT_TRUE(older) << error;
    EXPECT_EQ(older->Captured, "");
    EXPECT_EQ(older->Instrument, InstrumentIdentity{});
}

// A mask test made while recording stays with the upload: a pass, a failure with its first
// sample, and one that could not be made.
TEST(ScopeStateJson, MaskTestIsKeptWithTheUpload) {
    const MaskVerdict verdicts[] = {
        {"CH1", "", 600, 0, std::nullopt},
        {"MATH", "", 600, 3, MaskVerdict::Sample{-0.00301, 1.25}},
        {"CH2", "the upload holds no CH2 trace in time", 0, 0, std::nullopt},
    };
    for (const MaskVerdict& verdict : verdicts) {
        ScopeState s;
        s.Mask = verdict;
        std::string error;
        const auto back = fromJson(toJson(s), error);
        ASSERT_TRUE(back) << error;
        EXPECT_EQ(back->Mask, verdict);
    }
    ScopeState passed;
    passed.Mask = verdicts[0];
    EXPECT_NE(toJson(passed).find(
                  R"("Mask":{"first":null,"outside":0,"pass":true,"samples":600,"source":"CH1"})"),
              std::string::npos);
}

TEST(ScopeStateJson, CapturedIsUtcToTheMillisecondAndNamesAFile) {
    using namespace std::chrono;
    const struct {
        sys_time<milliseconds> moment;
        const char* text;
        const char* stem;
    } rows[] = {
        {sys_days{2026y / 12 / 7} + 14h + 3min + 22s + 512ms, "2026-12-07T14:03:22.512Z",
         "2026-12-07T14-03-22.512Z"},
        {sys_days{1970y / 1 / 1} - 1ms, "1969-12-31T23:59:59.999Z", "1969-12-31T23-59-59.999Z"},
        {sys_days{2024y / 2 / 29}, "2024-02-29T00:00:00.000Z", "2024-02-29T00-00-00.000Z"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(capturedText(row.moment), row.text);
        EXPECT_EQ(capturedFileStem(row.text), row.stem);
    }
    EXPECT_EQ(capturedFileStem("../up:load\\x"), "..-up-load-x") << "stays in its folder";
}

TEST(ScopeStateJson, BlockIsLowercaseHexAndEmptyArraysStayEmpty) {
    ScopeState s;
    s.SystemBlock.bytes[0] = 0xAB;
    const std::string json = toJson(s);
    EXPECT_NE(json.find("\"SystemBlock\":\"ab00"), std::string::npos);
    EXPECT_NE(json.find("\"Ch2Samples\":[]"), std::string::npos);
}

// Which parts of the upload came, and why the others did not; an upload saved before this was
// kept reads as one where everything came.
TEST(ScopeStateJson, UploadPartsSayWhatArrived) {
    ScopeState s;
    s.Parts = {
        {"SystemBlock", ""}, {"CH1", ""}, {"CH2", "time-out"}, {"LA", "12 bytes, 2048 needed"}};
    const std::string json = toJson(s);
    EXPECT_NE(json.find(R"("Arrived":{"CH1":true,"CH2":false,"LA":false,"SystemBlock":true})"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find(R"("Missing":{"CH2":"time-out","LA":"12 bytes, 2048 needed"})"),
              std::string::npos)
        << json;
    std::string error;
    const auto back = fromJson(json, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->Parts, s.Parts);
    const auto older = fromJson(R"({"HasData": true})", error);
    ASSERT_TRUE(older);
    EXPECT_TRUE(older->Parts.empty());
    EXPECT_FALSE(older->missing("CH1"));
    EXPECT_EQ(fromJson(R"({"Arrived": {"CH2": false}})", error)->Parts,
              (std::vector<UploadPart>{{"CH2", "no data"}}));
    for (const char* bad : {R"({"Arrived": 5})", R"({"Arrived": {"CH2": "yes"}})",
                            R"({"Arrived": {"CH2": true}, "Missing": {"CH2": "time-out"}})",
                            R"({"Arrived": {"CH2": false}, "Missing": {"CH2": 7}})",
                            R"({"Missing": {"CH2": "time-out"}})"})
        EXPECT_FALSE(fromJson(bad, error)) << bad;
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

// A sample array of 6201 zeros with `value` written in at index 300.
std::string samplesWith(const std::string& value) {
    std::string array = "[";
    for (size_t i = 0; i < ScopeState::SampleCount; ++i)
        array += (i ? "," : "") + (i == 300 ? value : std::string("0"));
    return array + "]";
}

struct WrongField {
    std::string key;
    std::string value;
};

std::ostream& operator<<(std::ostream& out, const WrongField& row) {
    return out << row.key << ": " << row.value.substr(0, 40);
}

class WronglyTypedField : public ::testing::TestWithParam<WrongField> {};

// A value that does not fit its field refuses the whole document, naming the field, instead of
// becoming a default.
TEST_P(WronglyTypedField, IsRefusedByName) {
    std::string error;
    const auto& row = GetParam();
    EXPECT_FALSE(fromJson("{\"HasData\": true, \"" + row.key + "\": " + row.value + "}", error));
    EXPECT_EQ(error.rfind(row.key + " ", 0), 0u) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Values, WronglyTypedField,
    ::testing::Values(WrongField{"HasData", "\"yes\""}, WrongField{"CapturedCh1", "null"},
                      WrongField{"ShowLa", "1"}, WrongField{"PointCount", "\"600\""},
                      WrongField{"PointCount", "600.5"}, WrongField{"PointCount", "2147483648"},
                      WrongField{"PointCount", "-2147483649"}, WrongField{"TriggerMode", "5"},
                      WrongField{"TimeScaleText", "\"" + std::string(65, '5') + "\""},
                      WrongField{"Ch1ScaleText", "\"5\u20acV\""},
                      WrongField{"FftDisplay", "[\"ON\"]"}, WrongField{"Ch1Samples", "\"none\""},
                      WrongField{"Ch2Samples", samplesWith("\"26\"")},
                      WrongField{"MathSamples", samplesWith("null")},
                      WrongField{"FftSamples", samplesWith("4294967296")},
                      WrongField{"LaSamples", samplesWith("0.5")},
                      WrongField{"SystemBlock", "\"" + std::string(224, 'g') + "\""},
                      WrongField{"SystemBlock", "\"" + std::string(222, '0') + "\""},
                      WrongField{"SystemBlock", "0"}, WrongField{"Captured", "1765116202"},
                      WrongField{"Instrument", "\"QM1102D\""},
                      WrongField{"Instrument", R"({"Model": 1102})"},
                      WrongField{"Instrument", R"({"Serial": ")" + std::string(65, '7') + "\"}"}));

// A mask test kept with an upload must be one: a pass without samples outside, a failure with
// its first, or a reason.
INSTANTIATE_TEST_SUITE_P(
    MaskTests, WronglyTypedField,
    ::testing::Values(WrongField{"Mask", "true"},
                      WrongField{"Mask", R"({"source": "CH1", "pass": null})"},
                      WrongField{"Mask", R"({"source": "CH1", "pass": true, "outside": 3,)"
                                         R"( "samples": 600, "first": null})"},
                      WrongField{"Mask", R"({"source": "CH1", "pass": false, "outside": 1,)"
                                         R"( "samples": 600, "first": null})"},
                      WrongField{"Mask", R"({"source": "CH1", "pass": false, "outside": 601,)"
                                         R"( "samples": 600, "first": {"time": 0, "volts": 1}})"}));

TEST(ScopeStateJson, ValuesAtTheirLimitsAreTaken) {
    std::string error;
    const auto slot = fromJson("{\"PointCount\": -2147483648, \"TimeScaleText\": \"" +
                                   std::string(MaxTextLength, '5') +
                                   "\", \"Ch1Samples\": " + samplesWith("2147483647") +
                                   ", \"SystemBlock\": \"" + std::string(224, 'F') + "\"}",
                               error);
    ASSERT_TRUE(slot) << error;
    EXPECT_EQ(slot->PointCount, -2147483648LL);
    EXPECT_EQ(slot->TimeScaleText.size(), MaxTextLength);
    EXPECT_EQ(slot->Ch1Samples[300], 2147483647);
    EXPECT_EQ(slot->SystemBlock.bytes[111], 0xFF);
}

}  // namespace
}  // namespace tracebay::acquisition
