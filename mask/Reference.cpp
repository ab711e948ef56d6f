#include "mask/Reference.h"

#include <algorithm>
#include <array>

#include "export/SampleSeries.h"

namespace tracebay::mask {
namespace {

constexpr std::array<std::string_view, 3> ComparableSources = {"CH1", "CH2", "MATH"};

}  // namespace

bool comparableSource(std::string_view source) {
    return std::find(ComparableSources.begin(), ComparableSources.end(), source) !=
           ComparableSources.end();
}

std::optional<Reference> referenceFrom(const acquisition::ScopeState& upload,
                                       std::string_view source, std::string& why) {
    const std::string name(source);
    if (!upload.IsYT || !comparableSource(source)) {
        why = "the upload holds no " + name + " trace in time";
        return std::nullopt;
    }
    for (const exporting::SampleSeries& series : exporting::sampleSeries(upload)) {
        if (series.source != source) continue;
        Reference reference{name, series.unit, series.axis, series.vertical, {}};
        for (size_t i = 0; i < series.size(); ++i) {
            const auto time = series.time(i);
            const auto value = series.value(i);
            if (!time || !value) {
                why = "the time base or the scale of " + name + " cannot be read";
                return std::nullopt;
            }
            reference.samples.push_back({*time, *value, series.clipped(i)});
        }
        return reference;
    }
    why = "the upload holds no " + name;
    return std::nullopt;
}

}  // namespace tracebay::mask
