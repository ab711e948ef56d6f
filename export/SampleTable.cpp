#include "export/SampleTable.h"

#include <QIODevice>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "acquisition/NumberFormat.h"
#include "export/PictureExport.h"
#include "export/SampleSeries.h"

namespace tracebay::exporting {
namespace {

using acquisition::ScopeState;
using acquisition::SystemBlock;

using Cell = std::optional<double>;

struct Column {
    std::string header;
    std::function<Cell(double)> at;  // by place: screen column (Y-T) or point (X-Y)
};

std::string valueHeader(const SampleSeries& series) {
    return series.source + " (" + series.unit + ")";
}

// Places closer than this are one row: the sources' places are sums of the same halves.
constexpr double SamePlace = 1e-6;

// The columns of a Y-T upload: the time, then each source at its own samples' places. A row per
// place any source has a sample at.
class YtTable {
public:
    explicit YtTable(const ScopeState& s) {
        addTimes(s);
        for (const SampleSeries& series : sampleSeries(s)) {
            if (series.source == "FFT")
                addColumn("FFT frequency (Hz)", series,
                          [series](size_t i) { return series.axis.at(series.place(i)); });
            addColumn(valueHeader(series), series, [series](size_t i) { return series.value(i); });
        }
        addLogic(s);
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end(),
                               [](double a, double b) { return std::abs(a - b) < SamePlace; }),
                   rows.end());
    }

    std::vector<Column> columns;
    std::vector<double> rows;

private:
    void addTimes(const ScopeState& s) {
        const auto axis = [](std::string header, acquisition::Horizontal time) {
            return Column{std::move(header), [time](double place) { return time.at(place); }};
        };
        if (!acquisition::alternateTrigger(s)) {
            columns.push_back(axis("time (s)", acquisition::halfTimeBase(s, true)));
            return;
        }
        columns.push_back(axis("CH1 time (s)", acquisition::halfTimeBase(s, true)));
        columns.push_back(axis("CH2 time (s)", acquisition::halfTimeBase(s, false)));
    }

    template <typename Samples>
    void addColumn(std::string header, const Samples& samples, std::function<Cell(size_t)> at) {
        for (size_t i = 0; i < samples.size(); ++i) rows.push_back(samples.place(i));
        columns.push_back({std::move(header), [places = Places(samples), count = samples.size(),
                                               at = std::move(at)](double place) {
                               const auto i = places.indexAt(place, count);
                               return i ? at(*i) : Cell();
                           }});
    }

    void addLogic(const ScopeState& s) {
        const auto logic = logicSeries(s);
        if (!logic) return;
        for (int line = 0; line < SystemBlock::LogicLines; ++line)
            addColumn("D" + std::to_string(line), *logic,
                      [logic = *logic, line](size_t i) { return Cell(logic.level(i, line)); });
    }
};

// X-Y: one row per point, CH1 against CH2.
std::vector<Column> xyColumns(const std::vector<SampleSeries>& series) {
    std::vector<Column> columns{{"point", [](double point) { return Cell(point); }}};
    for (const SampleSeries& source : series)
        columns.push_back({valueHeader(source), [source](double point) {
                               const auto i = source.indexAt(point);
                               return i ? source.value(*i) : Cell();
                           }});
    return columns;
}

std::string table(const std::vector<Column>& columns, const std::vector<double>& rows) {
    std::string csv;
    for (size_t i = 0; i < columns.size(); ++i) csv += (i ? "," : "") + columns[i].header;
    csv += '\n';
    for (const double row : rows) {
        for (size_t i = 0; i < columns.size(); ++i) {
            if (i) csv += ',';
            if (const Cell cell = columns[i].at(row)) csv += acquisition::decimalText(*cell);
        }
        csv += '\n';
    }
    return csv;
}

std::vector<double> points(const SampleSeries& series) {
    std::vector<double> places;
    for (size_t i = 0; i < series.size(); ++i) places.push_back(series.place(i));
    return places;
}

}  // namespace

std::optional<std::string> samplesCsv(const ScopeState& slot, std::string& error) {
    if (!slot.HasData) {
        error = "nothing has been uploaded";
        return std::nullopt;
    }
    if (slot.IsXY) {
        const auto series = sampleSeries(slot);
        if (!series.empty()) return table(xyColumns(series), points(series.front()));
    } else if (slot.IsYT) {
        const YtTable yt(slot);
        if (!yt.rows.empty()) return table(yt.columns, yt.rows);
    }
    error = !slot.IsXY && !slot.IsYT
                ? "the upload is in scan format, whose samples the instrument does not send"
                : "the upload holds no samples";
    return std::nullopt;
}

std::string writeCsv(const Shown& shown, QIODevice& device) {
    std::string error;
    return writeBytes(samplesCsv(shown.slot, error), error, device);
}

}  // namespace tracebay::exporting
