#include "export/SampleTable.h"

#include <QIODevice>

#include <algorithm>
#include <functional>
#include <vector>

#include "acquisition/NumberFormat.h"
#include "export/LogicSamples.h"
#include "export/PictureExport.h"
#include "export/SampleSeries.h"

namespace tracebay::exporting {
namespace {

using acquisition::ScopeState;
using acquisition::SystemBlock;

using Cell = std::optional<double>;

struct Column {
    std::string header;
    std::function<Cell(int)> at;  // by screen column (Y-T) or point (X-Y)
};

Column axisColumn(std::string header, acquisition::Horizontal axis) {
    return {std::move(header), [axis](int c) { return axis.at(c); }};
}

std::string valueHeader(const SampleSeries& series) {
    return series.source + " (" + series.unit + ")";
}

// The columns of a Y-T upload: the time, then each source within its own window.
class YtTable {
public:
    explicit YtTable(const ScopeState& s) : s_(s) {
        addTimes();
        for (const SampleSeries& series : sampleSeries(s)) {
            if (series.source == "FFT")
                addColumn("FFT frequency (Hz)", series.positions,
                          [axis = series.axis](int c) { return axis.at(c); });
            addColumn(valueHeader(series), series.positions,
                      [series](int c) { return series.value(c); });
        }
        addLogic();
    }

    std::vector<Column> columns;
    Span rows;
    bool hasSources = false;

private:
    void addTimes() {
        if (!acquisition::alternateTrigger(s_)) {
            columns.push_back(axisColumn("time (s)", acquisition::halfTimeBase(s_, true)));
            return;
        }
        columns.push_back(axisColumn("CH1 time (s)", acquisition::halfTimeBase(s_, true)));
        columns.push_back(axisColumn("CH2 time (s)", acquisition::halfTimeBase(s_, false)));
    }

    void addColumn(std::string header, Span window, std::function<Cell(int)> at) {
        if (window.empty()) return;
        rows = hasSources
                   ? Span{std::min(rows.first, window.first), std::max(rows.last, window.last)}
                   : window;
        hasSources = true;
        columns.push_back({std::move(header), [window, at = std::move(at)](int c) {
                               return window.holds(c) ? at(c) : Cell();
                           }});
    }

    void addLogic() {
        const auto logic = logicSamples(s_);
        if (!logic) return;
        for (int line = 0; line < SystemBlock::LogicLines; ++line)
            addColumn("D" + std::to_string(line), {logic->firstColumn, logic->lastColumn()},
                      [logic = *logic, line](int c) { return Cell(logic.level(c, line)); });
    }

    const ScopeState& s_;
};

// X-Y: one row per point, CH1 against CH2.
std::vector<Column> xyColumns(const std::vector<SampleSeries>& series) {
    std::vector<Column> columns{{"point", [](int i) { return Cell(i); }}};
    for (const SampleSeries& source : series)
        columns.push_back({valueHeader(source), [source](int i) { return source.value(i); }});
    return columns;
}

std::string table(const std::vector<Column>& columns, Span rows) {
    std::string csv;
    for (size_t i = 0; i < columns.size(); ++i) csv += (i ? "," : "") + columns[i].header;
    csv += '\n';
    for (int row = rows.first; row <= rows.last; ++row) {
        for (size_t i = 0; i < columns.size(); ++i) {
            if (i) csv += ',';
            if (const Cell cell = columns[i].at(row)) csv += acquisition::decimalText(*cell);
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
        const auto series = sampleSeries(slot);
        if (!series.empty()) return table(xyColumns(series), series.front().positions);
    } else if (slot.IsYT) {
        const YtTable yt(slot);
        if (yt.hasSources) return table(yt.columns, yt.rows);
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
