#include "decode/DecodedBand.h"

#include <algorithm>
#include <numeric>

namespace tracebay::decode {
namespace {

// The same class has the same colour on every upload.
int colorOf(const std::string& className) {
    return std::accumulate(className.begin(), className.end(), 0,
                           [](int sum, char c) { return sum + static_cast<unsigned char>(c); });
}

}  // namespace

// A new row goes after the rows of its decoder and those before it in the set-up.
size_t BandLayout::rowOf(const Annotation& a) {
    const auto same = [&](const Row& r) {
        return r.stack == a.stack && r.level == a.level && r.row == a.row;
    };
    if (const auto found = std::find_if(rows_.begin(), rows_.end(), same); found != rows_.end())
        return static_cast<size_t>(found - rows_.begin());
    const auto after = std::find_if(rows_.begin(), rows_.end(), [&](const Row& r) {
        return r.stack > a.stack || (r.stack == a.stack && r.level > a.level);
    });
    return static_cast<size_t>(rows_.insert(after, {a.stack, a.level, a.row, a.decoder}) -
                               rows_.begin());
}

// A stack that has found nothing yet has a row all the same, named by its first decoder.
display::Band BandLayout::band(const Decoded& decoded) {
    for (const Annotation& a : decoded.annotations) rowOf(a);
    display::Band band;
    std::vector<size_t> bandRows(rows_.size());
    for (size_t stack = 0; stack < decoded.outcomes.size(); ++stack) {
        const size_t first = band.rows.size();
        for (size_t r = 0; r < rows_.size(); ++r) {
            if (rows_[r].stack != static_cast<int>(stack)) continue;
            bandRows[r] = band.rows.size();
            band.rows.push_back({rows_[r].row.empty() ? rows_[r].decoder : rows_[r].row, {}});
        }
        const std::string& text = decoded.outcomes[stack].stack;
        if (band.rows.size() == first)
            band.rows.push_back({text.substr(0, text.find_first_of(":,")), {}});
    }
    for (const Annotation& a : decoded.annotations)
        band.rows[bandRows[rowOf(a)]].boxes.push_back(
            {a.startPlace, a.endPlace, a.texts, colorOf(a.className)});
    return band;
}

}  // namespace tracebay::decode
