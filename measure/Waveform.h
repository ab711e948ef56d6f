#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace tracebay::measure {

// The reference levels of a trace (IEEE 181): its top and base are the levels its two states
// dwell at, the modes of its histogram; a trace without two clear modes has its largest and
// smallest sample instead, where the trace turns there on the screen. In the samples' own units.
struct ReferenceLevels {
    double max = 0;
    double min = 0;
    std::optional<double> top;  // nothing: the trace reaches its largest only at the screen's edge
    std::optional<double> base;
    double span() const { return max - min; }
};
ReferenceLevels referenceLevels(const std::vector<double>& values);

// A passage of the trace through its mid level from one state to the other, and when it happened:
// where the straight line between two samples last crossed the mid level before the trace reached
// the other state. `after` is the first sample past that crossing.
struct Transition {
    bool rising;
    double time;
    size_t after;
};

// A trace in time: each sample's value and time, from a constant sample interval.
struct Waveform {
    std::vector<double> values;
    std::vector<double> times;
    double interval = 0;

    // The mid-level crossings between `base` and `top`, with a hysteresis of 20 % of the amplitude
    // either side: a state is entered at 70 % (30 %) of the way from base to top.
    std::vector<Transition> transitions(double base, double top) const;
    // The time from the 10 % to the 90 % level of each whole edge in the direction asked for, each
    // paired through its mid-level crossing: from the last sample at or below 10 % before the
    // crossing to the first at or above 90 % after it, within the neighbouring crossings. An edge
    // with no sample between the two levels completed within one sample: nothing for it.
    std::vector<std::optional<double>> edgeTimes(const std::vector<Transition>& crossings,
                                                 bool rising, double base, double top) const;
    // The mean and the root mean square of the samples from `from` (a time) up to `to`: over
    // whole periods each period's own samples.
    double meanBetween(double from, double to) const;
    double rmsBetween(double from, double to) const;

private:
    double crossingTime(size_t before, double level) const;
};

// The whole periods on the screen: between the first and the last crossing of one direction
// (that of the longer span), at least two.
struct Periods {
    double first = 0;
    double last = 0;
    std::vector<double> lengths;
    double mean() const { return (last - first) / static_cast<double>(lengths.size()); }
};
std::optional<Periods> wholePeriods(const std::vector<Transition>& crossings);

}  // namespace tracebay::measure
