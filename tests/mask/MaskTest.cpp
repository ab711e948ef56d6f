#include "mask/Mask.h"

#include <gtest/gtest.h>

#include <utility>

#include "mask/MaskFile.h"
#include "mask/MaskReport.h"
#include "mask/ReferenceFile.h"
#include "tests/mask/CraftedUpload.h"

namespace tracebay::mask {
namespace {

using display::SlotBuilder;
using testing::sampleTime;
using testing::squareUpload;
using Rows = std::vector<int>;

Mask maskOf(const acquisition::ScopeState& upload, double tolerance, double timeTolerance) {
    std::string why;
    const auto reference = referenceFrom(upload, "CH1", why);
    EXPECT_TRUE(reference) << why;
    const auto mask = makeMask(*reference, tolerance, timeTolerance, why);
    EXPECT_TRUE(mask) << why;
    return *mask;
}

struct CheckRow {
    const char* what;
    SlotBuilder upload;
    double tolerance;  // divisions, at 500 mV: 0.2 is 0.1 V, 5 rows
    double timeTolerance;
    std::optional<size_t> outside;  // none: it cannot be checked
    size_t first;                   // the first sample outside
    std::string reason;
    void (*cut)(Mask&) = nullptr;  // the mask, changed before the check
};

std::vector<CheckRow> checkRows() {
    const auto shifted = [](Rows& r) { std::copy_backward(r.begin(), r.end() - 4, r.end()); };
    SlotBuilder otherScale = squareUpload([](Rows& r) {
        for (int& row : r) row = 100 + (row - 100) / 2;
    });
    otherScale.slot.Ch1ScaleText = "1.00V";
    SlotBuilder otherGround = squareUpload([](Rows& r) {
        for (int& row : r) row -= 50;
    });
    otherGround.slot.Ch1OffsetText = "1.00V";
    SlotBuilder slowerTimeBase = squareUpload();
    slowerTimeBase.slot.TimeScaleText = "1.000ms";
    SlotBuilder laterDelay = squareUpload();
    laterDelay.slot.TimeOffsetText = "20.00us";
    SlotBuilder onlyCh2 = squareUpload();
    onlyCh2.slot.CapturedCh1 = false;
    onlyCh2.slot.CapturedCh2 = true;
    onlyCh2.slot.Ch2Samples = onlyCh2.slot.Ch1Samples;
    onlyCh2.byte(14, 1);
    SlotBuilder lostCh1 = squareUpload();
    lostCh1.slot.Parts = {{"CH1", "time-out"}};
    SlotBuilder xy = squareUpload();
    xy.slot.IsYT = false;
    xy.slot.IsXY = true;
    return {
        {"the same upload", squareUpload(), 0.2, 0, 0, 0, ""},
        {"the first sample 6 rows up", squareUpload([](Rows& r) { r[0] -= 6; }), 0.2, 0, 1, 0, ""},
        {"the last sample 6 rows down", squareUpload([](Rows& r) { r[599] += 6; }), 0.2, 0, 1, 599,
         ""},
        {"a sample 5 rows off, on the bound", squareUpload([](Rows& r) { r[250] += 5; }), 0.2, 0, 0,
         0, ""},
        {"a bump of three samples", squareUpload([](Rows& r) { r[300] = r[301] = r[302] = 30; }),
         0.2, 0, 3, 300, ""},
        {"on the top edge, inside a mask 8 divisions wide",
         squareUpload([](Rows& r) { r[420] = 0; }), 8, 0, 1, 420, ""},
        {"another volts per division", otherScale, 0.2, 0, 0, 0, ""},
        {"another ground position", otherGround, 0.2, 0, 0, 0, ""},
        {"shifted by 4 samples", squareUpload(shifted), 0.2, 0, 20, 100, ""},
        {"shifted by 4 samples, 5 allowed", squareUpload(shifted), 0.2, 0.1, 0, 0, ""},
        {"a slower time base", slowerTimeBase, 0.2, 0, std::nullopt, 0, "another time base"},
        {"a later delay", laterDelay, 0.2, 0, std::nullopt, 0, "another time base or delay"},
        {"no CH1", onlyCh2, 0.2, 0, std::nullopt, 0, "the upload holds no CH1"},
        {"CH1 did not arrive", lostCh1, 0.2, 0, std::nullopt, 0, "the upload holds no CH1"},
        {"X-Y", xy, 0.2, 0, std::nullopt, 0, "the upload holds no CH1 trace in time"},
        {"the first sample before the mask", squareUpload(), 0.2, 0, std::nullopt, 0,
         "another time base or delay", [](Mask& m) { m.points.erase(m.points.begin()); }},
        {"the last sample after the mask", squareUpload(), 0.2, 0, std::nullopt, 0,
         "another time base or delay", [](Mask& m) { m.points.pop_back(); }},
    };
}

TEST(MaskCheck, CraftedUploadsAgainstAMaskOfTheSquareWave) {
    for (const CheckRow& row : checkRows()) {
        SCOPED_TRACE(row.what);
        Mask mask = maskOf(squareUpload().slot, row.tolerance, row.timeTolerance);
        ASSERT_EQ(mask.points.size(), 600u);
        if (row.cut) row.cut(mask);
        std::string why;
        const auto check = checkUpload(mask, row.upload.slot, why);
        ASSERT_EQ(check.has_value(), row.outside.has_value()) << why;
        if (!check) {
            EXPECT_NE(why.find(row.reason), std::string::npos) << why;
            continue;
        }
        EXPECT_EQ(check->samples, 600u);
        EXPECT_EQ(check->outside.size(), *row.outside);
        EXPECT_EQ(check->verdict().passed(), *row.outside == 0);
        if (*row.outside == 0) continue;
        EXPECT_EQ(check->outside.front(), row.first);
        ASSERT_TRUE(check->first);
        EXPECT_NEAR(check->first->time, sampleTime(row.first), 1e-12);
    }
}

// The first sample outside is read in the mask's own unit: a product's has no prefix.
TEST(MaskReport, TheFirstSampleOutsideReadsInTheMasksUnit) {
    const acquisition::MaskVerdict failed{"MATH", "", 600, 2,
                                          acquisition::MaskVerdict::Sample{-0.0012, 0.34}};
    const struct {
        const char* unit;
        const char* text;
    } rows[] = {
        {"V", "MATH: fail, 2 of 600 samples outside the mask, the first at -1.20 ms, 340 mV\n"},
        {"V^2",
         "MATH: fail, 2 of 600 samples outside the mask, the first at -1.20 ms, 0.340 V^2\n"},
    };
    for (const auto& row : rows) EXPECT_EQ(verdictText(failed, row.unit), row.text) << row.unit;
}

TEST(MaskCheck, BoundsBetweenPointsLieOnTheLinesBetweenThem) {
    const Mask spaced{"CH1", "V", 0, 0, 0, 0, {{0, 0, 1}, {1e-3, 2, 3}, {2e-3, 2, 3}}};
    // One point has no spacing: only its own time meets it.
    const Mask single{"CH1", "V", 0, 0, 0, 0, {{1e-3, 2, 3}}};
    const struct {
        const Mask& mask;
        double time;
        std::optional<double> lower;
    } cases[] = {{spaced, -1e-8, std::nullopt},
                 {spaced, -1e-10, 0},
                 {spaced, 0, 0},
                 {spaced, 0.25e-3, 0.5},
                 {spaced, 1e-3 - 1e-10, 2},
                 {spaced, 1e-3, 2},
                 {spaced, 2e-3, 2},
                 {spaced, 2e-3 + 1e-10, 2},
                 {spaced, 2.00001e-3, std::nullopt},
                 {single, 1e-3, 2},
                 {single, 1e-3 - 1e-12, std::nullopt},
                 {single, 1e-3 + 1e-12, std::nullopt}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.mask.points.size() << " points at " << c.time);
        const auto bounds = c.mask.boundsAt(c.time);
        ASSERT_EQ(bounds.has_value(), c.lower.has_value());
        if (!bounds) continue;
        EXPECT_DOUBLE_EQ(bounds->lower, *c.lower);
        EXPECT_DOUBLE_EQ(bounds->upper, *c.lower + 1);
    }
}

TEST(MaskCheck, AReferenceThatRanOffTheScreenMakesNoMask) {
    std::string why;
    const auto reference =
        referenceFrom(squareUpload([](Rows& r) { r[10] = 199; }).slot, "CH1", why);
    ASSERT_TRUE(reference) << why;
    EXPECT_FALSE(makeMask(*reference, 1, 0, why));
    EXPECT_NE(why.find("runs off the screen at -2.91 ms"), std::string::npos) << why;
}

std::string maskText() { return maskJson(maskOf(squareUpload().slot, 0.2, 0.1)); }

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

std::string maskWith(const std::string& points) {
    return R"({"kind": "TraceBay mask", "version": 1, "source": "CH1", "unit": "V", "points": [)" +
           points + "]}";
}

std::string manyPoints(size_t count) {
    std::string points = "[0, 0, 1]";
    for (size_t i = 1; i < count; ++i) points += ", [" + std::to_string(i) + ", 0, 1]";
    return maskWith(points);
}

// A mask file reads back exactly as written; whatever else it holds is refused by what is wrong.
TEST(MaskFile, ReadsWhatItWroteAndRefusesTheRest) {
    std::string why;
    const Mask written = maskOf(squareUpload().slot, 0.2, 0.1);
    const auto back = maskFromJson(maskJson(written), why);
    ASSERT_TRUE(back) << why;
    EXPECT_EQ(*back, written);
    EXPECT_DOUBLE_EQ(back->tolerance, 0.1);
    EXPECT_DOUBLE_EQ(back->timeTolerance, 50e-6);
    EXPECT_TRUE(maskFromJson(manyPoints(MaxMaskPoints), why)) << why;
    const struct {
        const char* what;
        std::string text;
        const char* reason;
    } refused[] = {
        {"cut short", maskText().substr(0, maskText().size() / 2), "not JSON"},
        {"an array", "[]", "not a JSON object"},
        {"another kind", replaced(maskText(), "TraceBay mask", "TraceBay upload"),
         "not a TraceBay mask"},
        {"a newer version", replaced(maskText(), "\"version\": 1", "\"version\": 2"),
         "another version"},
        {"another source", replaced(maskText(), "\"CH1\"", "\"FFT\""), "source is not"},
        {"a negative tolerance", replaced(maskText(), "\"divisions\": 0.2", "\"divisions\": -1"),
         "a tolerance"},
        {"lower above upper", maskWith("[0, 1, 0]"), "point 1 is not [time, lower, upper]"},
        {"a point of two numbers", maskWith("[0, 1, 2], [1, 2]"), "point 2 is not [time,"},
        {"a time twice", maskWith("[0, 0, 1], [0, 0, 1]"), "point 2 is not later"},
        {"no points", maskWith(""), "points is not an array"},
        {"too many points", manyPoints(MaxMaskPoints + 1), "points is not an array of 1 to 6201"},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.what);
        EXPECT_FALSE(maskFromJson(r.text, why));
        EXPECT_NE(why.find(r.reason), std::string::npos) << why;
    }
}

std::string replacedAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + 1))
        text.replace(at, from.size(), to);
    return text;
}

// The references kept between runs come back as they were; a file that holds anything else
// gives none of them.
TEST(ReferenceFile, ReadsWhatItWroteAndRefusesTheRest) {
    std::string why;
    const auto bump = referenceFrom(squareUpload([](Rows& r) { r[9] = 199; }).slot, "CH1", why);
    ASSERT_TRUE(bump) << why;
    const auto square = referenceFrom(squareUpload().slot, "CH1", why);
    ASSERT_TRUE(square) << why;
    const std::vector<LabelledReference> kept{{"REF A", *bump}, {"REF B", *square}};
    const std::string json = referencesJson(kept);
    const auto back = referencesFromJson(json, why);
    ASSERT_TRUE(back) << why;
    EXPECT_EQ(*back, kept);
    const auto none = readReferencesFile(::testing::TempDir() + "/no-such-references.json", why);
    ASSERT_TRUE(none) << why;
    EXPECT_TRUE(none->empty());
    auto shuffled = kept;
    std::swap(shuffled[0].trace.samples[0], shuffled[0].trace.samples[1]);
    const struct {
        const char* what;
        std::string text;
        const char* reason;
    } refused[] = {
        {"cut short", json.substr(0, json.size() / 2), "not TraceBay references"},
        {"no step", replacedAll(json, "\"per_row\":0.02", "\"per_row\":0"), "REF A is not"},
        {"a sample as text", replacedAll(json, ",false]", ",\"no\"]"), "REF A is not"},
        {"another source", replacedAll(json, "\"CH1\"", "\"FFT\""), "REF A is not"},
        {"out of time order", referencesJson(shuffled), "REF A is not"},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.what);
        EXPECT_FALSE(referencesFromJson(r.text, why));
        EXPECT_NE(why.find(r.reason), std::string::npos) << why;
    }
}

}  // namespace
}  // namespace tracebay::mask
