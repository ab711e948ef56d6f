#include "decode/Decoding.h"

#include <gtest/gtest.h>

#include <chrono>

#include "decode/DecodedText.h"
#include "tests/decode/CraftedUploads.h"

namespace tracebay::decode {
namespace {

using acquisition::ScopeState;
using namespace testing;
using namespace std::chrono_literals;

const std::string UartBytes("\x00\xFF\x55\xA3", 4);
// A write to an EEPROM: its word address, then the data.
const std::string I2cBytes("\x10\x5A\xC3", 3);
const std::string SpiBytes("\x01\x80\x7E", 3);
constexpr double Baud = 9600;
constexpr double BusRate = 10000;

bool uart(double t) { return sim::uartLevel(UartBytes, Baud, t); }

ScopeState uartOnD0() { return testing::uartOnD0(UartBytes, Baud); }
ScopeState i2cOnD1AndD2() { return testing::i2cOnD1AndD2(0x50, I2cBytes, BusRate); }
ScopeState spiOnD3ToD5() { return testing::spiOnD3ToD5(SpiBytes, BusRate); }

// 0 V and 3.3 V, each rising edge overshooting to 6.3 V for a sample: half-way between the
// extremes lies above the high level.
ScopeState uartOnCh1WithOvershoot() {
    return channelUpload([](double t) {
        if (!uart(t)) return 0.0;
        return uart(t - SampleInterval) ? 3.3 : 6.3;
    });
}

// The line pulled to 7.6 V before the message: half-way between the channel's levels lies above
// the UART's high level, which only a level of the user's reads.
ScopeState uartOnCh1AfterAPullUp() {
    return channelUpload([](double t) { return t < 0 ? 7.6 : uart(t) ? 3.3 : 0.0; });
}

// The shortest texts of a decoder's annotations of one class, in order.
std::string shortestTexts(const Decoded& decoded, const std::string& decoder,
                          const std::string& className) {
    std::string texts;
    for (const Annotation& a : decoded.annotations)
        if (a.decoder == decoder && a.className == className)
            texts += (texts.empty() ? "" : " ") + a.texts.back();
    return texts;
}

Decoded decode(const ScopeState& upload, const std::vector<std::string>& texts,
               const Limits& limits = {}) {
    std::vector<StackSpec> stacks;
    for (const std::string& text : texts) {
        std::string error;
        const auto stack = parseStack(text, error);
        EXPECT_TRUE(stack) << error;
        if (stack) stacks.push_back(*stack);
    }
    return decodeUpload(upload, stacks, limits);
}

struct BytesRow {
    const char* name;
    ScopeState (*upload)();
    std::string stack;
    std::string decoder;
    std::string className;
    std::string expected;
};

class DecodedBytes : public ::testing::TestWithParam<BytesRow> {};

TEST_P(DecodedBytes, AreTheBytesOnTheLines) {
    const BytesRow& row = GetParam();
    const Decoded decoded = decode(row.upload(), {row.stack});
    EXPECT_EQ(decoded.problems(), "");
    EXPECT_EQ(shortestTexts(decoded, row.decoder, row.className), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Decoders, DecodedBytes,
    ::testing::Values(BytesRow{"UartOnD0", uartOnD0, "uart:rx=D0:baudrate=9600", "uart", "rx-data",
                               hex(UartBytes)},
                      BytesRow{"I2cOnD1AndD2", i2cOnD1AndD2, "i2c:scl=D1:sda=D2", "i2c",
                               "data-write", hex(I2cBytes)},
                      BytesRow{"EepromOnI2c", i2cOnD1AndD2, "i2c:scl=D1:sda=D2,eeprom24xx",
                               "eeprom24xx", "data-byte", hex(I2cBytes.substr(1))},
                      BytesRow{"SpiOnD3ToD5", spiOnD3ToD5, "spi:clk=D3:mosi=D4:cs=D5", "spi",
                               "mosi-data", hex(SpiBytes)},
                      BytesRow{"UartOnCh1", uartOnCh1WithOvershoot, "uart:rx=CH1:baudrate=9600",
                               "uart", "rx-data", hex(UartBytes)},
                      BytesRow{"UartOnCh1AtALevel", uartOnCh1AfterAPullUp,
                               "uart:rx=CH1@1.5:baudrate=9600", "uart", "rx-data", hex(UartBytes)},
                      BytesRow{"Ch1AboveTheLevelThroughout", uartOnCh1WithOvershoot,
                               "uart:rx=CH1@-1:baudrate=9600", "uart", "rx-data", ""}),
    [](const auto& info) { return info.param.name; });

// The start bit begins on the first low sample, at column 10: 140 columns of 20 us before the
// trigger.
TEST(Decoding, AnnotationsLieAtTheTimeAndPlaceOfTheirSamples) {
    const Decoded decoded = decode(uartOnD0(), {"uart:rx=D0:baudrate=9600"});
    ASSERT_FALSE(decoded.annotations.empty());
    const Annotation& start = decoded.annotations.front();
    EXPECT_EQ(start.className, "rx-start");
    EXPECT_DOUBLE_EQ(start.startPlace, StartColumn);
    EXPECT_NEAR(start.start, -140 * 20e-6, 1e-12);
}

// A stack may give as many annotations as the cap, and is stopped at the next one.
TEST(Decoding, AStackKeepsAsManyAnnotationsAsTheCapAndNoMore) {
    const std::string stack = "uart:rx=D0:baudrate=9600";
    const size_t all = decode(uartOnD0(), {stack}).annotations.size();
    ASSERT_GT(all, 1u);
    const struct {
        size_t cap;
        StackOutcome::Kind kind;
    } rows[] = {{all, StackOutcome::Kind::Decoded}, {all - 1, StackOutcome::Kind::Failed}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.cap);
        const Decoded decoded = decode(uartOnD0(), {stack}, {2000ms, row.cap});
        ASSERT_EQ(decoded.outcomes.size(), 1u);
        EXPECT_EQ(decoded.outcomes[0].kind, row.kind) << decoded.outcomes[0].message;
        EXPECT_EQ(decoded.annotations.size(), row.cap);
    }
}

// Whatever a decoder puts in a text stays inside its field of each file: quotes, separators,
// line ends and other control characters are escaped or quoted.
TEST(DecodedText, TextsAreEscapedForEachFile) {
    const struct {
        std::string text;
        std::string json;  // the text's JSON string
        std::string csv;   // its field
        std::string line;  // as a text line shows it
    } rows[] = {
        {"plain", R"("plain")", "plain", "plain"},
        {R"(say "hi")", R"("say \"hi\"")", R"("say ""hi""")", R"(say "hi")"},
        {R"(a\b)", R"("a\\b")", R"(a\b)", R"(a\b)"},
        {"1,2", R"("1,2")", R"("1,2")", "1,2"},
        {"end\r\nnext", R"("end\u000d\u000anext")", "\"end\r\nnext\"", R"(end\x0d\x0anext)"},
        {"tab\t\x7f", R"("tab\u0009\u007f")", "tab\t\x7f", R"(tab\x09\x7f)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        std::vector<Annotation> one(1);
        one[0].decoder = "uart";
        one[0].className = "rx-data";
        one[0].start = 0.5;
        one[0].end = 1;
        one[0].texts = {row.text};
        EXPECT_EQ(annotationsJson(one),
                  "[\n  {\"decoder\": \"uart\", \"class\": \"rx-data\", "
                  "\"start\": 0.5, \"end\": 1, \"texts\": [" +
                      row.json + "]}\n]\n");
        EXPECT_EQ(annotationsCsv(one),
                  "start (s),end (s),decoder,class,text\n0.5,1,uart,rx-data," + row.csv + "\n");
        EXPECT_EQ(annotationsText(one), "0.5 1 uart rx-data: " + row.line + "\n");
    }
}

struct FailureRow {
    const char* decoder;
    Limits limits;
    std::string message;
};

class FailingDecoder : public ::testing::TestWithParam<FailureRow> {};

// The decoder is named and stopped; what it found before stays, and the other stacks and the
// next upload decode as ever.
TEST_P(FailingDecoder, IsStoppedAndNamedWhileTheOthersDecode) {
    const FailureRow& row = GetParam();
    const std::string failing = std::string(row.decoder) + ":data=D0";
    const auto began = std::chrono::steady_clock::now();
    const Decoded decoded = decode(uartOnD0(), {failing, "uart:rx=D0:baudrate=9600"}, row.limits);
    // Stopped at its limit, not some time after: the slack is for a busy machine.
    EXPECT_LT(std::chrono::steady_clock::now() - began, row.limits.time + 800ms);
    ASSERT_EQ(decoded.outcomes.size(), 2u);
    EXPECT_EQ(decoded.outcomes[0].kind, StackOutcome::Kind::Failed);
    EXPECT_EQ(decoded.outcomes[0].message, row.message);
    EXPECT_EQ(decoded.outcomes[1].kind, StackOutcome::Kind::Decoded) << decoded.outcomes[1].message;
    EXPECT_EQ(shortestTexts(decoded, "uart", "rx-data"), hex(UartBytes));
    const auto& all = decoded.annotations;
    EXPECT_NE(
        std::find_if(all.begin(), all.end(), [&](auto& a) { return a.decoder == row.decoder; }),
        all.end());
    EXPECT_EQ(shortestTexts(decode(uartOnD0(), {"uart:rx=D0:baudrate=9600"}), "uart", "rx-data"),
              hex(UartBytes));
}

INSTANTIATE_TEST_SUITE_P(
    Decoders, FailingDecoder,
    ::testing::Values(
        FailureRow{"raiser", {}, "Decoder \"raiser\" failed: ValueError: no sense in this edge"},
        FailureRow{"spinner",
                   {200ms, 20000},
                   "Decoder \"spinner\" was stopped: it ran longer than 0.2 s on one screen"},
        FailureRow{"flooder",
                   {2000ms, 100},
                   "Decoder \"flooder\" was stopped: it gave more than 100 annotations on one "
                   "screen"}),
    [](const auto& info) { return std::string(info.param.decoder); });

struct UndecodableRow {
    const char* name;
    void (*change)(ScopeState&);
    std::string stack;
    std::string reason;
};

class Undecodable : public ::testing::TestWithParam<UndecodableRow> {};

TEST_P(Undecodable, UploadsGiveTheReason) {
    const UndecodableRow& row = GetParam();
    ScopeState upload = uartOnD0();
    addChannel(upload, [](double t) { return uart(t) ? 3.3 : 0.0; });
    row.change(upload);
    const Decoded decoded = decode(upload, {row.stack});
    ASSERT_EQ(decoded.outcomes.size(), 1u);
    EXPECT_EQ(decoded.outcomes[0].kind, StackOutcome::Kind::Undecodable);
    EXPECT_EQ(decoded.outcomes[0].message, row.stack + ": " + row.reason);
}

INSTANTIATE_TEST_SUITE_P(
    Uploads, Undecodable,
    ::testing::Values(
        UndecodableRow{"NoLogicLines", [](ScopeState& s) { s.CapturedLa = false; }, "uart:rx=D0",
                       "the upload holds no logic lines"},
        UndecodableRow{"LinesInAlternateTrigger",
                       [](ScopeState& s) { s.TriggerMode = "ALTERNATION"; }, "uart:rx=D0",
                       "in alternate trigger the upload holds no time base of the logic lines"},
        UndecodableRow{"NoCh2", [](ScopeState&) {}, "uart:rx=CH2",
                       "the upload holds no CH2 samples"},
        UndecodableRow{"ChannelsInAlternateTrigger",
                       [](ScopeState& s) {
                           s.TriggerMode = "ALTERNATION";
                           s.AltCh1TimeScaleText = "500.0us";
                           s.AltCh2TimeScaleText = "200.0us";
                           s.AltCh1TimeOffsetText = s.AltCh2TimeOffsetText = "0.000s";
                           s.CapturedCh2 = true;
                           s.SystemBlock.bytes[14] = 1;
                           s.Ch2Samples = s.Ch1Samples;
                           s.Ch2ScaleText = s.Ch1ScaleText;
                           s.Ch2OffsetText = s.Ch1OffsetText;
                       },
                       "uart:rx=CH1:tx=CH2",
                       "in alternate trigger CH1 and CH2 lie on time bases of their own"},
        UndecodableRow{"NoTimeBase", [](ScopeState& s) { s.TimeScaleText = "?"; }, "uart:rx=D0",
                       "the time base \"?\" gives no sample interval"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tracebay::decode
