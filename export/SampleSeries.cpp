#include "export/SampleSeries.h"

#include <algorithm>
#include <cmath>

#include "acquisition/ValueText.h"
#include "display/Samples.h"

namespace tracebay::exporting {
namespace {

using acquisition::blockVertical;
using acquisition::channelVertical;
using acquisition::Horizontal;
using acquisition::ScopeState;
using acquisition::SystemBlock;
using acquisition::Vertical;

constexpr std::string_view On = "ON";

class YtSeries {
public:
    explicit YtSeries(const ScopeState& s) : s_(s), block_(s.SystemBlock) {
        alternate_ = acquisition::alternateTrigger(s);
        const Span screen = columnSpan(block_.ScreenStart(), block_.ScreenEnd());
        upper_ = alternate_ ? columnSpan(block_.AltUpperStart(), block_.AltUpperEnd()) : screen;
        lower_ = alternate_ ? columnSpan(block_.AltLowerStart(), block_.AltLowerEnd()) : screen;
        // In alternate trigger each half has its time base; MATH shares the lower half's.
        upperTime_ = acquisition::halfTimeBase(s, true);
        lowerTime_ = acquisition::halfTimeBase(s, false);
        addChannel(s.CapturedCh1, "CH1", block_.Ch1Valid(), s.Ch1Samples, s.Ch1ScaleText,
                   s.Ch1OffsetText, upper_, upperTime_);
        addChannel(s.CapturedCh2, "CH2", block_.Ch2Valid(), s.Ch2Samples, s.Ch2ScaleText,
                   s.Ch2OffsetText, lower_, lowerTime_);
        addMathOrFft();
    }

    std::vector<SampleSeries> series;

private:
    void add(SampleSeries source) {
        if (!source.positions.empty()) series.push_back(std::move(source));
    }

    void addChannel(bool captured, const char* name, uint8_t valid,
                    const ScopeState::Samples& samples, const std::string& scaleText,
                    const std::string& offsetText, Span window, Horizontal time) {
        if (!captured || !delivered(s_, name, valid, samples)) return;
        add({name, "V", window, time, channelVertical(scaleText, offsetText), &samples, 2, 214});
    }

    void addMathOrFft() {
        if (!s_.CapturedMath) return;
        if (s_.FftDisplay == On) {
            if (delivered(s_, "FFT", block_.FftValid(), s_.FftSamples)) addFft();
            return;
        }
        if (!delivered(s_, "MATH", block_.MathValid(), s_.MathSamples)) return;
        add({"MATH", block_.MathOperation() == 2 ? "V^2" : "V", lower_, lowerTime_,
             blockVertical(block_.MathOffsetRows(), block_.MathScale()), &s_.MathSamples, 2, 2});
    }

    // Data column d lies at screen column d + 150 - FftCentre; its frequency counts from 0 Hz at
    // the first data column.
    void addFft() {
        const int span = acquisition::FftSpan(block_.FftSpanCode());
        const int centre = block_.FftCentre();
        if ((span + 300) / 2.0 <= centre) return;
        const Span window{
            std::max(0, 150 - centre),
            std::min(299, static_cast<int>(std::nearbyint(150 - centre + span / 2.0)))};
        const Horizontal frequency{150.0 - centre,
                                   block_.FftHzPerDiv() / acquisition::ColumnsPerDivision};
        add({"FFT", block_.FftDbScale() != 0 ? "dBVrms" : "Vrms", window, frequency,
             blockVertical(block_.FftOffsetRows(), block_.FftScale()), &s_.FftSamples, 2,
             2L * centre - 298});
    }

    const ScopeState& s_;
    const SystemBlock& block_;
    bool alternate_ = false;
    Span upper_, lower_;
    Horizontal upperTime_, lowerTime_;
};

// X-Y: point i (1..PointCount) is CH1 element i + 212 against CH2 element i + 212.
std::vector<SampleSeries> xySeries(const ScopeState& s) {
    if (!s.received("CH1", s.Ch1Samples) || !s.received("CH2", s.Ch2Samples) || s.PointCount <= 0)
        return {};
    const Span points{1, std::min<int>(s.PointCount, ScopeState::SampleCount)};
    return {{"CH1",
             "V",
             points,
             {},
             channelVertical(s.Ch1ScaleText, s.Ch1OffsetText),
             &s.Ch1Samples,
             1,
             212},
            {"CH2",
             "V",
             points,
             {},
             channelVertical(s.Ch2ScaleText, s.Ch2OffsetText),
             &s.Ch2Samples,
             1,
             212}};
}

}  // namespace

bool delivered(const ScopeState& slot, std::string_view source, uint8_t valid,
               const ScopeState::Samples& samples) {
    return valid == 1 && slot.received(source, samples);
}

Span columnSpan(int start, int end) {
    return {display::screenColumn(start), display::screenColumn(end)};
}

std::optional<int32_t> SampleSeries::row(int position) const {
    const long index = stride * position + offset;
    if (!samples || index < 0 || index >= static_cast<long>(samples->size())) return std::nullopt;
    return (*samples)[static_cast<size_t>(index)];
}

std::vector<SampleSeries> sampleSeries(const ScopeState& upload) {
    if (!upload.HasData) return {};
    if (upload.IsXY) return xySeries(upload);
    if (upload.IsYT) return YtSeries(upload).series;
    return {};
}

}  // namespace tracebay::exporting
