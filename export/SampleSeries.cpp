#include "export/SampleSeries.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "acquisition/DrawnElements.h"

namespace tracebay::exporting {
namespace {

using acquisition::blockVertical;
using acquisition::channelVertical;
using acquisition::DrawnElements;
using acquisition::Horizontal;
using acquisition::ScopeState;
using acquisition::SystemBlock;

constexpr std::string_view On = "ON";

// A split-screen FFT puts value v at v + 12.5 of its half's 100 rows, on the half's bottom line
// from 87.5 on: twice that is the row a full screen gives the same level.
int32_t splitFftRow(int32_t v) { return std::min(2 * v + 25, 200); }

// The drawn elements the array holds, as rows.
void readRows(SampleSeries& series, const DrawnElements& drawn, const ScopeState::Samples& samples,
              bool splitFft) {
    series.firstPlace = drawn.firstPlace;
    series.step = drawn.step;
    const long last = std::min(drawn.last, static_cast<long>(samples.size()) - 1);
    for (long e = drawn.first; e <= last; ++e) {
        const int32_t v = samples[static_cast<size_t>(e)];
        series.rows.push_back(splitFft ? splitFftRow(v) : v);
    }
    if (splitFft) {
        series.topRow = splitFftRow(0);
        series.bottomRow = splitFftRow(100);
    }
}

class YtSeries {
public:
    explicit YtSeries(const ScopeState& s) : s_(s), block_(s.SystemBlock) {
        addChannel(s.CapturedCh1, "CH1", block_.Ch1Valid(), s.Ch1Samples, s.Ch1ScaleText,
                   s.Ch1OffsetText, acquisition::halfTimeBase(s, true));
        addChannel(s.CapturedCh2, "CH2", block_.Ch2Valid(), s.Ch2Samples, s.Ch2ScaleText,
                   s.Ch2OffsetText, acquisition::halfTimeBase(s, false));
        addMathOrFft();
    }

    std::vector<SampleSeries> series;

private:
    void add(SampleSeries source, const ScopeState::Samples& samples, bool splitFft = false) {
        const DrawnElements drawn = acquisition::drawnElements(source.source, s_);
        readRows(source, drawn, samples, splitFft);
        if (!source.rows.empty()) series.push_back(std::move(source));
    }

    void addChannel(bool captured, const char* name, uint8_t valid,
                    const ScopeState::Samples& samples, const std::string& scaleText,
                    const std::string& offsetText, Horizontal time) {
        if (!captured || !delivered(s_, name, valid, samples)) return;
        SampleSeries channel;
        channel.source = name;
        channel.unit = "V";
        channel.axis = time;
        channel.vertical = channelVertical(scaleText, offsetText);
        add(std::move(channel), samples);
    }

    // In alternate trigger MATH shares the lower half's time base.
    void addMathOrFft() {
        if (!s_.CapturedMath) return;
        if (s_.FftDisplay == On) {
            if (delivered(s_, "FFT", block_.FftValid(), s_.FftSamples)) addFft();
            return;
        }
        if (!delivered(s_, "MATH", block_.MathValid(), s_.MathSamples)) return;
        SampleSeries math;
        math.source = "MATH";
        math.unit = block_.MathOperation() == 2 ? "V^2" : "V";
        math.axis = acquisition::halfTimeBase(s_, false);
        math.vertical = blockVertical(block_.MathOffsetRows(), block_.MathScale());
        add(std::move(math), s_.MathSamples);
    }

    // Data column d lies at screen column d + 150 - FftCentre; its frequency counts from 0 Hz at
    // the first data column.
    void addFft() {
        SampleSeries fft;
        fft.source = "FFT";
        fft.unit = block_.FftDbScale() != 0 ? "dBVrms" : "Vrms";
        fft.axis = {150.0 - block_.FftCentre(),
                    block_.FftHzPerDiv() / acquisition::ColumnsPerDivision};
        fft.vertical = blockVertical(block_.FftOffsetRows(), block_.FftScale());
        add(std::move(fft), s_.FftSamples, block_.FftFullScreen() == 0);
    }

    const ScopeState& s_;
    const SystemBlock& block_;
};

// X-Y: point i (1..PointCount) is CH1 element i + 212 against CH2 element i + 212; CH1 keeps the
// rows beyond the grid that the instrument sent.
std::vector<SampleSeries> xySeries(const ScopeState& s) {
    if (!s.received("CH1", s.Ch1Samples) || !s.received("CH2", s.Ch2Samples)) return {};
    std::vector<SampleSeries> both;
    for (const auto& [name, samples, scale, offset] :
         {std::tuple{"CH1", &s.Ch1Samples, &s.Ch1ScaleText, &s.Ch1OffsetText},
          std::tuple{"CH2", &s.Ch2Samples, &s.Ch2ScaleText, &s.Ch2OffsetText}}) {
        SampleSeries channel;
        channel.source = name;
        channel.unit = "V";
        channel.vertical = channelVertical(*scale, *offset);
        readRows(channel, acquisition::drawnElements(name, s), *samples, false);
        both.push_back(std::move(channel));
    }
    // A point needs both of its coordinates.
    const size_t points = std::min(both[0].size(), both[1].size());
    if (points == 0) return {};
    for (SampleSeries& channel : both) channel.rows.resize(points);
    return both;
}

}  // namespace

bool delivered(const ScopeState& slot, std::string_view source, uint8_t valid,
               const ScopeState::Samples& samples) {
    return valid == 1 && slot.received(source, samples);
}

std::optional<size_t> Places::indexAt(double place, size_t count) const {
    if (!(step > 0)) return std::nullopt;
    const double k = (place - firstPlace) / step;
    const double whole = std::nearbyint(k);
    if (std::abs(k - whole) > 1e-6 || whole < 0 || whole >= static_cast<double>(count))
        return std::nullopt;
    return static_cast<size_t>(whole);
}

std::vector<SampleSeries> sampleSeries(const ScopeState& upload) {
    if (!upload.HasData) return {};
    if (upload.IsXY) return xySeries(upload);
    if (upload.IsYT) return YtSeries(upload).series;
    return {};
}

// Word j of the window is bytes firstByte + 2j (low) and the next.
std::optional<LogicSeries> logicSeries(const ScopeState& upload) {
    const SystemBlock& block = upload.SystemBlock;
    if (!upload.HasData || !upload.IsYT || !upload.CapturedLa ||
        !delivered(upload, "LA", block.LaValid(), upload.LaSamples))
        return std::nullopt;
    const acquisition::DrawnWords drawn = acquisition::drawnWords(upload);
    LogicSeries logic;
    logic.firstPlace = drawn.firstPlace;
    logic.step = acquisition::DrawnWords::Step;
    logic.time = acquisition::halfTimeBase(upload, true);
    const auto& bytes = upload.LaSamples;
    for (int j = 0; j < drawn.count; ++j) {
        const size_t low = static_cast<size_t>(drawn.firstByte) + 2 * static_cast<size_t>(j);
        if (low + 1 >= bytes.size()) break;
        logic.words.push_back(
            static_cast<uint16_t>((bytes[low + 1] & 0xFF) << 8 | (bytes[low] & 0xFF)));
    }
    if (logic.words.empty()) return std::nullopt;
    return logic;
}

}  // namespace tracebay::exporting
