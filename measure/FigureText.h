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

// The figures as a table: a header ("source" and the figures' keys, or as people read them),
// then a row per source, its name followed by " (clipped)" where the grid cut it off; with
// statistics, each source's row is followed by its "mean", "min", "max", "std dev" and "count"
// rows. A figure that is not one of a source's has an empty cell, a null one NoFigure.
//
// Within a row the figures of one unit share their SI prefix and the place of their last digit,
// the coarsest any of them has ("0.80 V" beside "1.60 V"); a frequency is as fine as the period it
// comes from, and reads as one over the period shown beside it.
struct FigureTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
    // Per cell: why a figure is null, and for a source's name why it is marked; else empty.
    std::vector<std::vector<std::string>> notes;
};

enum class Heading { Keys, Names };

struct TableChoice {
    const FigureStatistics* statistics = nullptr;
    std::optional<std::vector<Figure>> shown;  // nothing: every figure the sources have
    Heading heading = Heading::Keys;
};

FigureTable figureTable(const std::vector<SourceFigures>& sources, const TableChoice& choice = {});

// The table for a terminal, columns lined up with blanks, then the reasons for its null figures
// ("CH1 rise, fall: faster than one sample (< 10 us)"); and as tab-separated lines.
std::string alignedText(const FigureTable& table);
std::string tabSeparated(const FigureTable& table);

// The figures as a JSON object of sources, each an object with "clipped", its figures in SI base
// units (V, s, Hz; the duty and the shoots as fractions) or null where not determinable, and
// "why", the reason for each null figure; the pair "CH1-CH2" with its delay (s) and phase
// (degrees) and "why".
std::string figuresJson(const std::vector<SourceFigures>& sources);

}  // namespace tracebay::measure
