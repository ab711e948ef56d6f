#include "measure/FigureText.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include "acquisition/NumberFormat.h"
#include "measure/FigureStatistics.h"
#include "platform/EscapedText.h"

namespace tracebay::measure {
namespace {

using acquisition::QuantityFormat;

// The figures of a row that are written alike.
enum class Group { Level, Time, Frequency, PeakFrequency, Percent, Phase };

struct Unit {
    Group group;
    std::string name;
    bool prefixed;
    double factor = 1;  // from the figure's SI value to the text's
};

bool prefixedUnit(std::string_view unit) { return unit == "V" || unit == "Vrms"; }

Unit unitOf(const SourceFigures& source, Figure figure) {
    switch (figure) {
        case Figure::Frequency: return {Group::Frequency, "Hz", true};
        case Figure::PeakFrequency: return {Group::PeakFrequency, "Hz", true};
        case Figure::Period:
        case Figure::PWidth:
        case Figure::NWidth:
        case Figure::Rise:
        case Figure::Fall:
        case Figure::Delay: return {Group::Time, "s", true};
        case Figure::Duty:
        case Figure::Overshoot:
        case Figure::Preshoot: return {Group::Percent, "%", false, 100};
        case Figure::Phase: return {Group::Phase, "\u00b0", false};
        // The cycle figures may be coarser than a row (as fine as a sample's share of the
        // period): the row's levels are then written as coarse, so that none reads finer.
        default: return {Group::Level, source.unit, prefixedUnit(source.unit)};
    }
}

// A figure's value in a row, and how fine it is.
struct Entry {
    Figure figure;
    std::optional<double> value;
    double resolution = 0;
};

std::string written(double value, const QuantityFormat& format, const std::string& unit) {
    std::string text = acquisition::quantityText(value, format, unit);
    if (unit == "\u00b0") text.erase(text.rfind(' '), 1);  // "90°"
    return text;
}

class RowTexts {
public:
    RowTexts(const SourceFigures& source, const std::vector<Entry>& entries)
        : source_(source), entries_(entries) {
        for (const Entry& e : entries) {
            if (!e.value || !std::isfinite(*e.value)) continue;
            const Unit unit = unitOf(source, e.figure);
            Extent& extent = extents_[unit.group];
            extent.largest = std::max(extent.largest, std::abs(*e.value * unit.factor));
            extent.resolution = std::max(extent.resolution, e.resolution * unit.factor);
            extent.prefixed = unit.prefixed;
        }
        for (const auto& [group, extent] : extents_)
            formats_[group] =
                acquisition::quantityFormat(extent.largest, extent.resolution, extent.prefixed);
    }

    std::string text(const Entry& e) const {
        if (!e.value || !std::isfinite(*e.value)) return std::string(NoFigure);
        const Unit unit = unitOf(source_, e.figure);
        return written(*e.value * unit.factor, formats_.at(unit.group), unit.name);
    }

    // A frequency that would not read as one over the period shown beside it is one over it,
    // in as many digits as the frequency has.
    std::string reciprocalFrequency(const Entry& frequency) const {
        const Entry* period = entry(Figure::Period);
        if (!frequency.value || !period || !period->value) return text(frequency);
        const QuantityFormat& periodFormat = formats_.at(Group::Time);
        const QuantityFormat& ownFormat = formats_.at(Group::Frequency);
        const double shownPeriod = acquisition::quantityRounded(*period->value, periodFormat);
        const double shown = acquisition::quantityRounded(*frequency.value, ownFormat);
        const int digits = acquisition::quantityDigits(*frequency.value, ownFormat);
        const int fewest =
            std::min(digits, acquisition::quantityDigits(*period->value, periodFormat));
        if (!(shownPeriod > 0) ||
            std::abs(shown * shownPeriod - 1) < 0.5 * std::pow(10.0, 1 - fewest))
            return text(frequency);
        const double f = 1 / shownPeriod;
        return written(f, acquisition::quantityFormat(f, f * std::pow(10.0, 1 - digits), true),
                       "Hz");
    }

private:
    struct Extent {
        double largest = 0;
        double resolution = 0;
        bool prefixed = false;
    };

    const Entry* entry(Figure figure) const {
        for (const Entry& e : entries_)
            if (e.figure == figure) return &e;
        return nullptr;
    }

    const SourceFigures& source_;
    const std::vector<Entry>& entries_;
    std::map<Group, Extent> extents_;
    std::map<Group, QuantityFormat> formats_;
};

// A number for JSON, with ten significant digits as the CSV has them: the screen's rows never
// need more, and sums do not show their binary tails.
std::string jsonNumber(std::optional<double> value) {
    if (!value || !std::isfinite(*value)) return "null";
    return acquisition::decimalText(*value);
}

// The figures any of the sources has, in their order, of those chosen.
std::vector<Figure> columnsOf(const std::vector<SourceFigures>& sources,
                              const std::optional<std::vector<Figure>>& shown) {
    std::vector<Figure> columns;
    for (int f = 0; f <= static_cast<int>(LastFigure); ++f) {
        const auto figure = static_cast<Figure>(f);
        if (shown && std::find(shown->begin(), shown->end(), figure) == shown->end()) continue;
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

class TableBuilder {
public:
    TableBuilder(const std::vector<SourceFigures>& sources, const TableChoice& choice)
        : sources_(sources), choice_(choice), columns_(columnsOf(sources, choice.shown)) {
        table_.header.push_back(choice.heading == Heading::Keys ? "source" : "Source");
        for (const Figure f : columns_)
            table_.header.emplace_back(choice.heading == Heading::Keys ? figureKey(f)
                                                                       : figureName(f));
    }

    FigureTable build() {
        for (const SourceFigures& source : sources_) {
            addMeasured(source);
            if (choice_.statistics) addStatistics(source, *choice_.statistics);
        }
        return std::move(table_);
    }

private:
    using Summary = FigureStatistics::Summary;

    void addMeasured(const SourceFigures& source) {
        std::vector<Entry> entries;
        for (const Measured& m : source.figures)
            entries.push_back({m.figure, m.value, m.resolution});
        const RowTexts texts(source, entries);
        std::vector<std::string> row{source.source + (source.clipped.empty() ? "" : " (clipped)")};
        std::vector<std::string> notes{source.clipped};
        for (const Figure f : columns_) {
            const Measured* m = source.find(f);
            const Entry e = m ? Entry{f, m->value, m->resolution} : Entry{f, std::nullopt, 0};
            row.push_back(!m                       ? ""
                          : f == Figure::Frequency ? texts.reciprocalFrequency(e)
                                                   : texts.text(e));
            notes.push_back(m && !m->value ? m->why : "");
        }
        table_.rows.push_back(std::move(row));
        table_.notes.push_back(std::move(notes));
    }

    void addStatistics(const SourceFigures& source, const FigureStatistics& statistics) {
        const auto summary = [&](Figure f) { return statistics.summary(source.source, f); };
        addSummaryRow(source, "mean", [&](Figure f) { return summary(f).mean; });
        addSummaryRow(source, "min", [&](Figure f) { return summary(f).minimum; });
        addSummaryRow(source, "max", [&](Figure f) { return summary(f).maximum; });
        addSummaryRow(source, "std dev", [&](Figure f) { return summary(f).deviation; });
        std::vector<std::string> counts{source.source + " count"};
        for (const Figure f : columns_)
            counts.push_back(source.has(f) ? std::to_string(summary(f).count) : "");
        table_.rows.push_back(std::move(counts));
        table_.notes.emplace_back(table_.header.size());
    }

    void addSummaryRow(const SourceFigures& source, const std::string& name,
                       const std::function<std::optional<double>(Figure)>& valueOf) {
        std::vector<Entry> entries;
        for (const Measured& m : source.figures)
            entries.push_back({m.figure, valueOf(m.figure),
                               choice_.statistics->summary(source.source, m.figure).resolution});
        const RowTexts texts(source, entries);
        std::vector<std::string> row{source.source + " " + name};
        for (const Figure f : columns_) {
            const auto found = std::find_if(entries.begin(), entries.end(),
                                            [f](const Entry& e) { return e.figure == f; });
            row.push_back(found == entries.end() ? "" : texts.text(*found));
        }
        table_.rows.push_back(std::move(row));
        table_.notes.emplace_back(table_.header.size());
    }

    const std::vector<SourceFigures>& sources_;
    const TableChoice& choice_;
    const std::vector<Figure> columns_;
    FigureTable table_;
};

// "CH1 rise, fall: faster than one sample (< 10 us)": a line for each reason of a row.
std::string reasonLines(const FigureTable& table) {
    std::string lines;
    for (size_t r = 0; r < table.rows.size() && r < table.notes.size(); ++r) {
        std::vector<std::pair<std::string, std::string>> reasons;  // reason, its columns
        for (size_t c = 1; c < table.notes[r].size() && c < table.header.size(); ++c) {
            const std::string& why = table.notes[r][c];
            if (why.empty()) continue;
            const auto found = std::find_if(reasons.begin(), reasons.end(),
                                            [&](const auto& p) { return p.first == why; });
            if (found == reasons.end())
                reasons.emplace_back(why, table.header[c]);
            else
                found->second += ", " + table.header[c];
        }
        const std::string source = table.rows[r][0].substr(0, table.rows[r][0].find(' '));
        for (const auto& [why, columns] : reasons)
            lines += source + " " + columns + ": " + why + "\n";
    }
    return lines;
}

}  // namespace

FigureTable figureTable(const std::vector<SourceFigures>& sources, const TableChoice& choice) {
    return TableBuilder(sources, choice).build();
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
    const std::string reasons = reasonLines(table);
    return reasons.empty() ? text : text + "\n" + reasons;
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
        const SourceFigures& source = sources[s];
        json += (s ? ",\n  " : "\n  ") + platform::jsonQuoted(source.source) + ": {";
        if (source.trace)
            json +=
                std::string("\"clipped\": ") + (source.clipped.empty() ? "false" : "true") + ", ";
        std::string why;
        for (const Measured& m : source.figures) {
            const std::string key = platform::jsonQuoted(figureKey(m.figure));
            json += key + ": " + jsonNumber(m.value) + ", ";
            if (!m.value)
                why += (why.empty() ? "" : ", ") + key + ": " + platform::jsonQuoted(m.why);
        }
        json += "\"why\": {" + why + "}}";
    }
    return json + (sources.empty() ? "}\n" : "\n}\n");
}

}  // namespace tracebay::measure
