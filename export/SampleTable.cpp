#include "export/SampleTable.h"

#include <QIODevice>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <functional>
#include <vector>

#include "acquisition/ValueText.h"
#include "display/FftXy.h"
#include "display/Samples.h"
#include "export/LogicSamples.h"
#include "export/PictureExport.h"

namespace tracebay::exporting {
namespace {

using acquisition::ScopeState;
using acquisition::SystemBlock;

constexpr std::string_view Alternation = "ALTERNATION";
constexpr std::string_view On = "ON";
// Rows per vertical division and base units per horizontal division on the screen.
constexpr double RowsPerDivision = 25;
constexpr double ColumnsPerDivision = 25;
constexpr double CentreRow = 100;

using Cell = std::optional<double>;

struct Column {
    std::string header;
    std::function<Cell(int)> at;  // by screen column (Y-T) or point (X-Y)
};

// Screen columns first..last; empty when first > last.
struct Window {
    int first = 0;
    int last = -1;
    bool holds(int column) const { return column >= first && column <= last; }
};

Window columnWindow(int start, int end) {
    return {display::screenColumn(start), display::screenColumn(end)};
}

std::optional<int32_t> element(const ScopeState::Samples& samples, long index) {
    if (index < 0 || index >= static_cast<long>(samples.size())) return std::nullopt;
    return samples[static_cast<size_t>(index)];
}

// A source the instrument showed and whose block came with the last upload.
bool delivered(const ScopeState& slot, std::string_view source, uint8_t valid,
               const ScopeState::Samples& samples) {
    return valid == 1 && slot.received(source, samples);
}

// A value as rows above a ground row, times a value per row.
struct Vertical {
    double groundRow = CentreRow;
    double perRow = 0;
    Cell at(std::optional<int32_t> row) const {
        if (!row || !(perRow > 0)) return std::nullopt;
        return (groundRow - *row) * perRow;
    }
};

// Channel texts name volts from picovolts ("500mV") up to kilovolts (a probe of 1000:1).
double volts(const std::string& text) {
    const auto small = acquisition::ParseSmallVoltText(text);
    return small.ParsedValueValid ? small.value : acquisition::ParseVoltText(text).value;
}

// The ground marker's row: 100 - 25 offset / scale rows below the top grid line.
Vertical channelVertical(const std::string& scaleText, const std::string& offsetText) {
    const double scale = volts(scaleText);
    if (!(scale > 0) || !std::isfinite(scale)) return {};
    return {CentreRow - RowsPerDivision * volts(offsetText) / scale, scale / RowsPerDivision};
}

Vertical blockVertical(int16_t offsetRows, float scale) {
    return {CentreRow - offsetRows, scale / RowsPerDivision};
}

// Seconds from the trigger position, 150 - 25 offset / scale columns from the left grid line.
Column timeColumn(std::string header, const std::string& scaleText, const std::string& offsetText) {
    const auto time = timeBase(scaleText, offsetText);
    if (!time) return {std::move(header), [](int) { return Cell(); }};
    return {std::move(header), [time = *time](int c) { return Cell(time.at(c)); }};
}

// The sources of a Y-T upload, each with the window it is valid in.
class YtTable {
public:
    explicit YtTable(const ScopeState& s) : s_(s), block_(s.SystemBlock) {
        const bool alternate = s.TriggerMode == Alternation;
        const Window screen = columnWindow(block_.ScreenStart(), block_.ScreenEnd());
        upper_ = alternate ? columnWindow(block_.AltUpperStart(), block_.AltUpperEnd()) : screen;
        lower_ = alternate ? columnWindow(block_.AltLowerStart(), block_.AltLowerEnd()) : screen;
        addTimes(alternate);
        addChannels();
        addMathOrFft();
        addLogic();
    }

    std::vector<Column> columns;
    Window rows;
    bool hasSources = false;

private:
    void addTimes(bool alternate) {
        if (!alternate) {
            columns.push_back(timeColumn("time (s)", s_.TimeScaleText, s_.TimeOffsetText));
            return;
        }
        columns.push_back(
            timeColumn("CH1 time (s)", s_.AltCh1TimeScaleText, s_.AltCh1TimeOffsetText));
        columns.push_back(
            timeColumn("CH2 time (s)", s_.AltCh2TimeScaleText, s_.AltCh2TimeOffsetText));
    }

    void addSource(std::string header, Window window, std::function<Cell(int)> at) {
        if (window.first > window.last) return;
        rows = hasSources
                   ? Window{std::min(rows.first, window.first), std::max(rows.last, window.last)}
                   : window;
        hasSources = true;
        columns.push_back({std::move(header), [window, at = std::move(at)](int c) {
                               return window.holds(c) ? at(c) : Cell();
                           }});
    }

    void addChannel(bool captured, const char* name, uint8_t valid,
                    const ScopeState::Samples& samples, const std::string& scaleText,
                    const std::string& offsetText, Window window) {
        if (!captured || !delivered(s_, name, valid, samples)) return;
        const Vertical vertical = channelVertical(scaleText, offsetText);
        addSource(std::string(name) + " (V)", window, [&samples, vertical](int c) {
            return vertical.at(element(samples, 2L * c + 214));
        });
    }

    void addChannels() {
        addChannel(s_.CapturedCh1, "CH1", block_.Ch1Valid(), s_.Ch1Samples, s_.Ch1ScaleText,
                   s_.Ch1OffsetText, upper_);
        addChannel(s_.CapturedCh2, "CH2", block_.Ch2Valid(), s_.Ch2Samples, s_.Ch2ScaleText,
                   s_.Ch2OffsetText, lower_);
    }

    void addMathOrFft() {
        if (!s_.CapturedMath) return;
        if (s_.FftDisplay == On) {
            if (delivered(s_, "FFT", block_.FftValid(), s_.FftSamples)) addFft();
            return;
        }
        if (!delivered(s_, "MATH", block_.MathValid(), s_.MathSamples)) return;
        const Vertical vertical = blockVertical(block_.MathOffsetRows(), block_.MathScale());
        const ScopeState::Samples& samples = s_.MathSamples;
        addSource(
            block_.MathOperation() == 2 ? "MATH (V^2)" : "MATH (V)", lower_,
            [&samples, vertical](int c) { return vertical.at(element(samples, 2L * c + 2)); });
    }

    // Data column d lies at screen column d + 150 - FftCentre; its frequency counts from 0 Hz at
    // the first data column.
    void addFft() {
        const int span = acquisition::FftSpan(block_.FftSpanCode());
        const int centre = block_.FftCentre();
        if ((span + 300) / 2.0 <= centre) return;
        const Window window{
            std::max(0, 150 - centre),
            std::min(299, static_cast<int>(std::nearbyint(150 - centre + span / 2.0)))};
        const double hzPerColumn = block_.FftHzPerDiv() / ColumnsPerDivision;
        const auto dataColumn = [centre](int c) { return c + centre - 150L; };
        addSource("FFT frequency (Hz)", window,
                  [=](int c) { return Cell(dataColumn(c) * hzPerColumn); });
        const Vertical vertical = blockVertical(block_.FftOffsetRows(), block_.FftScale());
        const ScopeState::Samples& samples = s_.FftSamples;
        addSource(block_.FftDbScale() != 0 ? "FFT (dBVrms)" : "FFT (Vrms)", window,
                  [&samples, vertical, dataColumn](int c) {
                      return vertical.at(element(samples, 2 * dataColumn(c) + 2));
                  });
    }

    void addLogic() {
        const auto logic = logicSamples(s_);
        if (!logic) return;
        for (int line = 0; line < SystemBlock::LogicLines; ++line)
            addSource("D" + std::to_string(line), {logic->firstColumn, logic->lastColumn()},
                      [logic = *logic, line](int c) { return Cell(logic.level(c, line)); });
    }

    const ScopeState& s_;
    const SystemBlock& block_;
    Window upper_, lower_;
};

// X-Y: point i (1..PointCount) is CH1 element i + 212 against CH2 element i + 212.
std::vector<Column> xyColumns(const ScopeState& s) {
    const auto channel = [](const char* header, const ScopeState::Samples& samples,
                            Vertical vertical) {
        return Column{header, [&samples, vertical](int i) {
                          return vertical.at(element(samples, i + 212L));
                      }};
    };
    return {{"point", [](int i) { return Cell(i); }},
            channel("CH1 (V)", s.Ch1Samples, channelVertical(s.Ch1ScaleText, s.Ch1OffsetText)),
            channel("CH2 (V)", s.Ch2Samples, channelVertical(s.Ch2ScaleText, s.Ch2OffsetText))};
}

void appendNumber(std::string& line, double value) {
    std::array<char, 32> text{};
    // Ten significant digits: the instrument's 8-bit rows never need more, and sums such as
    // 4 * 0.03 do not show their binary tails.
    const auto written = std::to_chars(text.data(), text.data() + text.size(), value,
                                       std::chars_format::general, 10);
    line.append(text.data(), written.ptr);
}

std::string table(const std::vector<Column>& columns, Window rows) {
    std::string csv;
    for (size_t i = 0; i < columns.size(); ++i) csv += (i ? "," : "") + columns[i].header;
    csv += '\n';
    for (int row = rows.first; row <= rows.last; ++row) {
        for (size_t i = 0; i < columns.size(); ++i) {
            if (i) csv += ',';
            if (const Cell cell = columns[i].at(row)) appendNumber(csv, *cell == 0 ? 0 : *cell);
        }
        csv += '\n';
    }
    return csv;
}

}  // namespace

std::optional<std::string> samplesCsv(const ScopeState& slot, std::string& error) {
    if (!slot.HasData) {
        error = "nothing has been uploaded";
        return std::nullopt;
    }
    if (slot.IsXY) {
        if (slot.received("CH1", slot.Ch1Samples) && slot.received("CH2", slot.Ch2Samples) &&
            slot.PointCount > 0)
            return table(xyColumns(slot),
                         {1, std::min<int>(slot.PointCount, ScopeState::SampleCount)});
    } else if (slot.IsYT) {
        const YtTable yt(slot);
        if (yt.hasSources) return table(yt.columns, yt.rows);
    }
    error = "the upload holds no samples";
    return std::nullopt;
}

std::string writeCsv(const Shown& shown, QIODevice& device) {
    std::string error;
    const auto csv = samplesCsv(shown.slot, error);
    if (!csv) return error;
    const auto size = static_cast<qint64>(csv->size());
    return device.write(csv->data(), size) == size ? "" : device.errorString().toStdString();
}

}  // namespace tracebay::exporting
