#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/QuantityText.h"
#include "measure/Measurements.h"

namespace tracebay::measure {

class FigureStatistics;

// What a figure that cannot be determined reads as.
inline constexpr std::string_view NoFigure = acquisition::NoQuantity;

// A value of the source's figure (its own, or a mean or extreme of it) as text, only as fine as
// the screen shows it; the duty in percent; NoFigure for nothing.
std::string figureText(const SourceFigures& source, Figure figure, std::optional<double> value);

// The figures as a table: a header ("source" and the figures' keys), then a row per source; with
// statistics, each source's row is followed by its "mean", "min" and "max" rows. A figure that
// is not one of a source's has an empty cell.
struct FigureTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};
FigureTable figureTable(const std::vector<SourceFigures>& sources,
                        const FigureStatistics* statistics = nullptr);

// The table for a terminal, columns lined up with blanks; and as tab-separated lines.
std::string alignedText(const FigureTable& table);
std::string tabSeparated(const FigureTable& table);

// The figures as a JSON object of sources, each an object of figures in SI base units (V, s,
// Hz; the duty as a fraction), null where not determinable.
std::string figuresJson(const std::vector<SourceFigures>& sources);

}  // namespace tracebay::measure
