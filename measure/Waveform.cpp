#include "measure/Waveform.h"

#include <algorithm>
#include <cmath>

namespace tracebay::measure {
namespace {

// A mode's band reaches 10 % of the trace's span either side: wide enough for moderate noise,
// narrow enough to leave out an edge's middle and a glitch.
constexpr double ModeBand = 0.10;
// A mode is clear when its band holds 60 % of its half's samples: a square wave's or a
// trapezoid's plateau does, a sine's crest (about 45 %) and a ramp's (20 %) do not.
constexpr double ClearMode = 0.60;
// A largest sample counts as the top where the trace is 20 % of its span lower both before and
// after it: it turned there on the screen.
constexpr double Turn = 0.20;
constexpr double Hysteresis = 0.20;

double median(std::vector<double>::const_iterator first, std::vector<double>::const_iterator last) {
    const auto n = last - first;
    const auto middle = first + n / 2;
    return n % 2 ? *middle : (*(middle - 1) + *middle) / 2;
}

// The value most samples of the sorted `half` have; of equal counts the one nearest `extreme`.
double mostFrequent(const std::vector<double>& half, double extreme) {
    double best = half.front();
    size_t bestCount = 0;
    for (size_t i = 0; i < half.size();) {
        size_t j = i;
        while (j < half.size() && half[j] == half[i]) ++j;
        const bool nearer = std::abs(half[i] - extreme) < std::abs(best - extreme);
        if (j - i > bestCount || (j - i == bestCount && nearer)) {
            best = half[i];
            bestCount = j - i;
        }
        i = j;
    }
    return best;
}

// The level the samples of one half dwell at: from the most frequent value, the median of the
// samples within `band` of it, again until it stays; nothing without a clear mode.
std::optional<double> mode(std::vector<double> half, double band, double extreme) {
    if (half.empty()) return std::nullopt;
    std::sort(half.begin(), half.end());
    double centre = mostFrequent(half, extreme);
    double members = 0;
    for (int round = 0; round < 20; ++round) {
        const auto from = std::lower_bound(half.begin(), half.end(), centre - band);
        const auto to = std::upper_bound(half.begin(), half.end(), centre + band);
        members = static_cast<double>(to - from);
        const double next = median(from, to);
        if (next == centre) break;
        centre = next;
    }
    if (members < ClearMode * static_cast<double>(half.size())) return std::nullopt;
    return centre;
}

// Whether the trace reaches `extreme` somewhere with samples `depth` away from it (below for
// `upwards`) both before and after.
bool turnsAt(const std::vector<double>& values, double extreme, double depth, bool upwards) {
    const auto away = [&](double v) {
        return upwards ? v <= extreme - depth : v >= extreme + depth;
    };
    bool awayBefore = false;
    bool reached = false;
    for (const double v : values) {
        if (reached && away(v)) return true;
        if (awayBefore && v == extreme) reached = true;
        if (away(v)) awayBefore = true;
    }
    return false;
}

}  // namespace

ReferenceLevels referenceLevels(const std::vector<double>& values) {
    ReferenceLevels r;
    if (values.empty()) return r;
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    r.min = *low;
    r.max = *high;
    if (!(r.span() > 0)) {
        r.top = r.max;
        r.base = r.min;
        return r;
    }
    const double mid = (r.max + r.min) / 2;
    std::vector<double> upper, lower;
    for (const double v : values) {
        if (v > mid) upper.push_back(v);
        if (v < mid) lower.push_back(v);
    }
    const double band = ModeBand * r.span();
    r.top = mode(upper, band, r.max);
    r.base = mode(lower, band, r.min);
    if (!r.top && turnsAt(values, r.max, Turn * r.span(), true)) r.top = r.max;
    if (!r.base && turnsAt(values, r.min, Turn * r.span(), false)) r.base = r.min;
    return r;
}

double Waveform::crossingTime(size_t before, double level) const {
    const double a = values[before];
    const double b = values[before + 1];
    const double share = b == a ? 0 : (level - a) / (b - a);
    return times[before] + share * (times[before + 1] - times[before]);
}

std::vector<Transition> Waveform::transitions(double base, double top) const {
    const double mid = (base + top) / 2;
    const double hysteresis = Hysteresis * (top - base);
    enum class State { Unknown, Low, High } state = State::Unknown;
    std::optional<Transition> up, down;
    std::vector<Transition> found;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0 && values[i - 1] < mid && values[i] >= mid)
            up = Transition{true, crossingTime(i - 1, mid), i};
        if (i > 0 && values[i - 1] > mid && values[i] <= mid)
            down = Transition{false, crossingTime(i - 1, mid), i};
        if (values[i] >= mid + hysteresis && state != State::High) {
            if (state == State::Low && up) found.push_back(*up);
            state = State::High;
        } else if (values[i] <= mid - hysteresis && state != State::Low) {
            if (state == State::High && down) found.push_back(*down);
            state = State::Low;
        }
    }
    return found;
}

std::vector<std::optional<double>> Waveform::edgeTimes(const std::vector<Transition>& crossings,
                                                       bool rising, double base, double top) const {
    const double amplitude = top - base;
    // Along the edge: below the 10 % level it has not started, at or past the 90 % it has ended.
    const auto along = [&](size_t i) {
        return (rising ? values[i] - base : top - values[i]) / amplitude;
    };
    std::vector<std::optional<double>> found;
    for (size_t k = 0; k < crossings.size(); ++k) {
        if (crossings[k].rising != rising) continue;
        const size_t c = crossings[k].after;
        const size_t from = k > 0 ? crossings[k - 1].after : 0;
        const size_t to = k + 1 < crossings.size() ? crossings[k + 1].after - 1 : values.size() - 1;
        std::optional<size_t> start, end;
        for (size_t j = c; j-- > from;)
            if (along(j) <= 0.1) {
                start = j;
                break;
            }
        for (size_t m = c; m <= to; ++m)
            if (along(m) >= 0.9) {
                end = m;
                break;
            }
        if (!start || !end) continue;
        if (*end - *start < 2) {
            found.push_back(std::nullopt);
            continue;
        }
        const double level10 = rising ? base + 0.1 * amplitude : top - 0.1 * amplitude;
        const double level90 = rising ? base + 0.9 * amplitude : top - 0.9 * amplitude;
        found.push_back(crossingTime(*end - 1, level90) - crossingTime(*start, level10));
    }
    return found;
}

double Waveform::meanBetween(double from, double to) const {
    double sum = 0;
    size_t n = 0;
    for (size_t i = 0; i < values.size(); ++i)
        if (times[i] >= from && times[i] < to) {
            sum += values[i];
            ++n;
        }
    return n ? sum / static_cast<double>(n) : 0;
}

double Waveform::rmsBetween(double from, double to) const {
    double squares = 0;
    size_t n = 0;
    for (size_t i = 0; i < values.size(); ++i)
        if (times[i] >= from && times[i] < to) {
            squares += values[i] * values[i];
            ++n;
        }
    return n ? std::sqrt(squares / static_cast<double>(n)) : 0;
}

std::optional<Periods> wholePeriods(const std::vector<Transition>& crossings) {
    std::optional<Periods> best;
    for (const bool rising : {true, false}) {
        std::vector<double> times;
        for (const Transition& t : crossings)
            if (t.rising == rising) times.push_back(t.time);
        if (times.size() < 2) continue;
        Periods p{times.front(), times.back(), {}};
        for (size_t i = 1; i < times.size(); ++i) p.lengths.push_back(times[i] - times[i - 1]);
        if (!best || p.last - p.first > best->last - best->first) best = p;
    }
    return best;
}

}  // namespace tracebay::measure
