#include "measure/FigureText.h"

#include <algorithm>
#include <cmath>

#include "acquisition/NumberFormat.h"
#include "measure/FigureStatistics.h"

namespace tracebay::measure {
namespace {

bool prefixedUnit(std::string_view unit) {
    return unit == "V" || unit == "Vrms" || unit == "s" || unit == "Hz";
}

struct Shown {
    double resolution;
    std::string_view unit;
    double factor = 1;
};

// The finest step the screen gives the figure, and its unit.
Shown shownAs(const SourceFigures& source, Figure figure, double value) {
    switch (figure) {
        case Figure::Frequency:
            // A frequency is as fine, relative to itself, as the period it comes from.
            return {source.axisStep * value * value, "Hz"};
        case Figure::Period:
        case Figure::Rise:
        case Figure::Fall: return {source.axisStep, "s"};
        case Figure::Duty: {
            const auto period = source[Figure::Period];
            return {period ? source.axisStep / *period * 100 : 0, "%", 100};
        }
        case Figure::PeakFrequency: return {source.axisStep, "Hz"};
        default: return {source.levelStep, source.unit};
    }
}

// A number for JSON, with ten significant digits as the CSV has them: the screen's rows never
// need more, and sums do not show their binary tails.
std::string jsonNumber(std::optional<double> value) {
    if (!value || !std::isfinite(*value)) return "null";
    return acquisition::decimalText(*value);
}

// The figures any of the sources has, in their order.
std::vector<Figure> columnsOf(const std::vector<SourceFigures>& sources) {
    std::vector<Figure> columns;
    for (int f = 0; f <= static_cast<int>(Figure::PeakLevel); ++f) {
        const auto figure = static_cast<Figure>(f);
        if (std::any_of(sources.begin(), sources.end(),
                        [figure](const SourceFigures& s) { return s.has(figure); }))
            columns.push_back(figure);
    }
    return columns;
}

// Characters as a terminal shows them: a UTF-8 sequence is one.
size_t shownWidth(const std::string& text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

}  // namespace

std::string figureText(const SourceFigures& source, Figure figure, std::optional<double> value) {
    if (!value) return std::string(NoFigure);
    const Shown shown = shownAs(source, figure, *value);
    return acquisition::quantityText(*value * shown.factor, shown.resolution, shown.unit,
                                     prefixedUnit(shown.unit));
}

FigureTable figureTable(const std::vector<SourceFigures>& sources,
                        const FigureStatistics* statistics) {
    const std::vector<Figure> columns = columnsOf(sources);
    FigureTable table{{"source"}, {}};
    for (const Figure figure : columns) table.header.emplace_back(figureKey(figure));
    const auto addRow = [&](const SourceFigures& source, const std::string& name, auto valueOf) {
        std::vector<std::string> row{name};
        for (const Figure figure : columns)
            row.push_back(source.has(figure) ? figureText(source, figure, valueOf(figure)) : "");
        table.rows.push_back(std::move(row));
    };
    for (const SourceFigures& source : sources) {
        addRow(source, source.source, [&](Figure f) { return source[f]; });
        if (!statistics) continue;
        const auto summary = [&](Figure f) { return statistics->summary(source.source, f); };
        addRow(source, source.source + " mean", [&](Figure f) { return summary(f).mean; });
        addRow(source, source.source + " min", [&](Figure f) { return summary(f).minimum; });
        addRow(source, source.source + " max", [&](Figure f) { return summary(f).maximum; });
    }
    return table;
}

std::string alignedText(const FigureTable& table) {
    std::vector<size_t> widths(table.header.size(), 0);
    const auto widen = [&](const std::vector<std::string>& cells) {
        for (size_t i = 0; i < cells.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], shownWidth(cells[i]));
    };
    widen(table.header);
    for (const auto& row : table.rows) widen(row);
    std::string text;
    const auto addLine = [&](const std::vector<std::string>& cells) {
        std::string line;
        for (size_t i = 0; i < cells.size() && i < widths.size(); ++i) {
            if (i) line += "  ";
            line += cells[i] + std::string(widths[i] - shownWidth(cells[i]), ' ');
        }
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + "\n";
    };
    addLine(table.header);
    for (const auto& row : table.rows) addLine(row);
    return text;
}

std::string tabSeparated(const FigureTable& table) {
    std::string text;
    const auto addLine = [&](const std::vector<std::string>& cells) {
        for (size_t i = 0; i < cells.size(); ++i) text += (i ? "\t" : "") + cells[i];
        text += "\n";
    };
    addLine(table.header);
    for (const auto& row : table.rows) addLine(row);
    return text;
}

std::string figuresJson(const std::vector<SourceFigures>& sources) {
    std::string json = "{";
    for (size_t s = 0; s < sources.size(); ++s) {
        json += (s ? ",\n  \"" : "\n  \"") + sources[s].source + "\": {";
        const auto& figures = sources[s].figures;
        for (size_t f = 0; f < figures.size(); ++f)
            json += (f ? ", \"" : "\"") + std::string(figureKey(figures[f].figure)) +
                    "\": " + jsonNumber(figures[f].value);
        json += "}";
    }
    return json + (sources.empty() ? "}\n" : "\n}\n");
}

}  // namespace tracebay::measure
