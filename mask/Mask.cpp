#include "mask/Mask.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "acquisition/QuantityText.h"
#include "export/SampleSeries.h"

namespace tracebay::mask {
namespace {

using acquisition::quantityText;

// Rounding leaves the same time computed twice a little apart; a sample time is never that
// close to another.
double coincidence(const std::vector<MaskPoint>& points) {
    if (points.size() < 2) return 0;
    return 1e-6 * (points.back().time - points.front().time) /
           static_cast<double>(points.size() - 1);
}

Bounds between(const MaskPoint& a, const MaskPoint& b, double time) {
    const double f = (time - a.time) / (b.time - a.time);
    return {a.lower + f * (b.lower - a.lower), a.upper + f * (b.upper - a.upper)};
}

// The least and the greatest value of the samples within `window` seconds of sample i.
Bounds extent(const std::vector<TimedSample>& samples, size_t i, double window) {
    Bounds range{samples[i].value, samples[i].value};
    const auto widen = [&](const TimedSample& s) {
        range.lower = std::min(range.lower, s.value);
        range.upper = std::max(range.upper, s.value);
    };
    for (size_t j = i; j-- > 0 && samples[i].time - samples[j].time <= window;) widen(samples[j]);
    for (size_t j = i + 1; j < samples.size() && samples[j].time - samples[i].time <= window; ++j)
        widen(samples[j]);
    return range;
}

// A sample on a bound is within; the slack keeps one computed at another scale so.
bool within(double value, const Bounds& bounds) {
    const double slack = 1e-9 * (std::abs(bounds.lower) + std::abs(bounds.upper));
    return value >= bounds.lower - slack && value <= bounds.upper + slack;
}

std::string timeText(double seconds) { return quantityText(seconds, 0, "s", true); }

const exporting::SampleSeries* seriesOf(const std::vector<exporting::SampleSeries>& all,
                                        const std::string& source) {
    for (const exporting::SampleSeries& series : all)
        if (series.source == source) return &series;
    return nullptr;
}

// Why the series cannot be held against the mask; "" when it can.
std::string mismatch(const Mask& mask, const exporting::SampleSeries& series) {
    if (series.unit != mask.unit)
        return "the upload's " + mask.source + " is in " + series.unit + ", the mask in " +
               mask.unit;
    for (size_t i = 0; i < series.size(); ++i)
        if (!series.time(i) || !series.value(i))
            return "the time base or the scale of the upload's " + mask.source + " cannot be read";
    const double first = *series.time(0);
    const double last = *series.time(series.size() - 1);
    if (mask.boundsAt(first) && mask.boundsAt(last)) return {};
    return "the upload's " + mask.source + " runs from " + timeText(first) + " to " +
           timeText(last) + ", the mask covers " + timeText(mask.points.front().time) + " to " +
           timeText(mask.points.back().time) + " (another time base or delay)";
}

}  // namespace

std::optional<Bounds> Mask::boundsAt(double time) const {
    const double close = coincidence(points);
    const auto after = std::lower_bound(points.begin(), points.end(), time,
                                        [](const MaskPoint& p, double t) { return p.time < t; });
    if (after != points.end() && after->time - time <= close)
        return Bounds{after->lower, after->upper};
    if (after == points.begin()) return std::nullopt;
    const MaskPoint& before = *std::prev(after);
    if (time - before.time <= close) return Bounds{before.lower, before.upper};
    if (after == points.end()) return std::nullopt;
    return between(before, *after, time);
}

std::optional<Mask> makeMask(const Reference& reference, double tolerance, double timeTolerance,
                             std::string& why) {
    const auto& samples = reference.samples;
    if (samples.empty()) {
        why = "the reference holds no samples";
        return std::nullopt;
    }
    const auto clipped = std::find_if(samples.begin(), samples.end(),
                                      [](const TimedSample& s) { return s.clipped; });
    if (clipped != samples.end()) {
        why = reference.source + " runs off the screen at " + timeText(clipped->time) +
              ": a mask from it would hold the screen's edge, not the signal";
        return std::nullopt;
    }
    Mask mask{reference.source,
              reference.unit,
              tolerance,
              tolerance * reference.valuePerDivision(),
              timeTolerance,
              timeTolerance * reference.secondsPerDivision(),
              {}};
    for (size_t i = 0; i < samples.size(); ++i) {
        const Bounds range = extent(samples, i, mask.timeTolerance);
        mask.points.push_back(
            {samples[i].time, range.lower - mask.tolerance, range.upper + mask.tolerance});
    }
    return mask;
}

acquisition::MaskVerdict MaskCheck::verdict() const {
    acquisition::MaskVerdict v{source,
                               {},
                               static_cast<int32_t>(samples),
                               static_cast<int32_t>(outside.size()),
                               std::nullopt};
    if (first) v.first = acquisition::MaskVerdict::Sample{first->time, first->value};
    return v;
}

std::optional<MaskCheck> checkUpload(const Mask& mask, const acquisition::ScopeState& upload,
                                     std::string& why) {
    if (mask.points.empty()) {
        why = "the mask holds no points";
        return std::nullopt;
    }
    const auto all =
        upload.IsYT ? exporting::sampleSeries(upload) : std::vector<exporting::SampleSeries>{};
    const exporting::SampleSeries* series = seriesOf(all, mask.source);
    if (!series) {
        why = "the upload holds no " + mask.source + " trace in time";
        return std::nullopt;
    }
    if (why = mismatch(mask, *series); !why.empty()) return std::nullopt;
    MaskCheck check{mask.source, series->size(), {}, std::nullopt};
    for (size_t i = 0; i < series->size(); ++i) {
        const double time = *series->time(i);
        const double value = *series->value(i);
        const Bounds bounds = *mask.boundsAt(time);
        const bool clipped = series->clipped(i);
        if (!clipped && within(value, bounds)) continue;
        if (check.outside.empty()) check.first = TimedSample{time, value, clipped};
        check.outside.push_back(i);
    }
    return check;
}

acquisition::MaskVerdict uncheckedVerdict(const Mask& mask, const std::string& why) {
    return {mask.source, why, 0, 0, std::nullopt};
}

}  // namespace tracebay::mask
