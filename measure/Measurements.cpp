#include "measure/Measurements.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "export/SampleSeries.h"

namespace tracebay::measure {
namespace {

using exporting::SampleSeries;

struct Point {
    double time;
    double value;
};

// A sample's value, and its rows above the ground row: sums of rows carry no rounding, so a
// trace symmetric about ground has a mean of exactly 0.
struct Level {
    double value;
    double rows;
};

// Where the straight line between two samples crosses `level`.
double crossingTime(const Point& a, const Point& b, double level) {
    return a.time + (level - a.value) / (b.value - a.value) * (b.time - a.time);
}

// A passage of the trace from one threshold to the other, and when it crossed the level asked
// for on the way.
struct Edge {
    bool rising;
    double time;
};

// The edges between `low` and `high` (low < high): a rising edge starts at a sample at or below
// `low` and ends at the first one at or above `high`; a falling edge the other way round. Each
// gives the time of its last crossing of `level` in its direction. A trace that begins between
// the thresholds gives no edge until it has been at one of them.
std::vector<Edge> edges(const std::vector<Point>& points, double low, double high, double level) {
    enum class Side { Unknown, Low, High } side = Side::Unknown;
    std::optional<double> up, down;
    std::vector<Edge> found;
    for (size_t i = 0; i < points.size(); ++i) {
        const Point& p = points[i];
        if (i > 0) {
            const Point& q = points[i - 1];
            if (q.value < level && p.value >= level) up = crossingTime(q, p, level);
            if (q.value > level && p.value <= level) down = crossingTime(q, p, level);
        }
        if (p.value >= high && side != Side::High) {
            if (side == Side::Low && up) found.push_back({true, *up});
            side = Side::High;
        } else if (p.value <= low && side != Side::Low) {
            if (side == Side::High && down) found.push_back({false, *down});
            side = Side::Low;
        }
    }
    return found;
}

std::optional<double> mean(const std::vector<double>& values) {
    if (values.empty()) return std::nullopt;
    return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

struct Levels {
    double vmax;
    double vmin;
    double vmean;
    double vrms;
    double vpp() const { return vmax - vmin; }
};

std::optional<Levels> levels(const std::vector<Level>& samples, double perRow) {
    if (samples.empty()) return std::nullopt;
    Levels l{samples.front().value, samples.front().value, 0, 0};
    double sum = 0, squares = 0;
    for (const Level& s : samples) {
        l.vmax = std::max(l.vmax, s.value);
        l.vmin = std::min(l.vmin, s.value);
        sum += s.rows;
        squares += s.rows * s.rows;
    }
    const auto n = static_cast<double>(samples.size());
    l.vmean = sum / n * perRow;
    l.vrms = std::sqrt(squares / n) * perRow;
    return l;
}

struct Timing {
    std::optional<double> period;
    std::optional<double> duty;
    std::optional<double> rise;
    std::optional<double> fall;
};

// Period and duty from the crossings of the mid level, with a hysteresis of 10 % of vpp.
void crossingFigures(const std::vector<Point>& points, const Levels& l, Timing& t) {
    const double mid = (l.vmax + l.vmin) / 2;
    const auto crossings = edges(points, mid - l.vpp() / 20, mid + l.vpp() / 20, mid);
    std::vector<double> rising;
    std::vector<double> high;
    for (size_t i = 0; i < crossings.size(); ++i) {
        if (!crossings[i].rising) continue;
        rising.push_back(crossings[i].time);
        if (i + 1 < crossings.size()) high.push_back(crossings[i + 1].time - crossings[i].time);
    }
    if (rising.size() < 2) return;
    t.period = (rising.back() - rising.front()) / static_cast<double>(rising.size() - 1);
    if (const auto highTime = mean(high)) t.duty = *highTime / *t.period;
}

// Rise and fall from the complete edges between 10 % and 90 % of vpp above vmin.
void edgeFigures(const std::vector<Point>& points, const Levels& l, Timing& t) {
    const double low = l.vmin + l.vpp() / 10;
    const double high = l.vmin + l.vpp() * 9 / 10;
    const auto atLow = edges(points, low, high, low);
    const auto atHigh = edges(points, low, high, high);
    std::vector<double> rises, falls;
    for (size_t i = 0; i < atLow.size() && i < atHigh.size(); ++i) {
        const double span = atHigh[i].time - atLow[i].time;
        if (atLow[i].rising)
            rises.push_back(span);
        else
            falls.push_back(-span);
    }
    t.rise = mean(rises);
    t.fall = mean(falls);
}

Timing timing(const std::vector<Point>& points, const Levels& l) {
    Timing t;
    if (!(l.vpp() > 0)) return t;
    crossingFigures(points, l, t);
    edgeFigures(points, l, t);
    return t;
}

// The samples of a series that have a value; those with a time also as points in time.
struct Samples {
    std::vector<Level> levels;
    std::vector<Point> timed;
};

Samples samplesOf(const SampleSeries& series) {
    Samples s;
    for (size_t i = 0; i < series.size(); ++i) {
        const auto value = series.value(i);
        if (!value) continue;
        s.levels.push_back({*value, series.vertical.groundRow - series.rows[i]});
        if (const auto time = series.time(i)) s.timed.push_back({*time, *value});
    }
    return s;
}

SourceFigures described(const SampleSeries& series) {
    return {series.source,
            series.unit,
            series.vertical.perRow,
            series.axis.perColumn * series.step,
            {}};
}

void addLevels(SourceFigures& figures, const std::optional<Levels>& l) {
    const auto of = [&](double Levels::*field) {
        return l ? std::optional(*l.*field) : std::nullopt;
    };
    figures.figures.insert(figures.figures.end(),
                           {{Figure::Vmax, of(&Levels::vmax)},
                            {Figure::Vmin, of(&Levels::vmin)},
                            {Figure::Vpp, l ? std::optional(l->vpp()) : std::nullopt},
                            {Figure::Vmean, of(&Levels::vmean)},
                            {Figure::Vrms, of(&Levels::vrms)}});
}

SourceFigures timeDomain(const SampleSeries& series, bool timed) {
    SourceFigures figures = described(series);
    const Samples samples = samplesOf(series);
    const auto l = levels(samples.levels, series.vertical.perRow);
    addLevels(figures, l);
    if (!timed) return figures;
    const Timing t = l ? timing(samples.timed, *l) : Timing{};
    const auto frequency = t.period && *t.period > 0 ? std::optional(1 / *t.period) : std::nullopt;
    figures.figures.insert(figures.figures.end(), {{Figure::Frequency, frequency},
                                                   {Figure::Period, t.period},
                                                   {Figure::Duty, t.duty},
                                                   {Figure::Rise, t.rise},
                                                   {Figure::Fall, t.fall}});
    return figures;
}

// The highest column; of equal ones the lowest frequency.
SourceFigures spectrum(const SampleSeries& series) {
    SourceFigures figures = described(series);
    std::optional<double> level;
    std::optional<double> frequency;
    for (size_t i = 0; i < series.size(); ++i) {
        const auto value = series.value(i);
        if (!value || (level && *value <= *level)) continue;
        level = value;
        frequency = series.time(i);
    }
    figures.figures = {{Figure::PeakFrequency, frequency}, {Figure::PeakLevel, level}};
    return figures;
}

}  // namespace

std::string_view figureKey(Figure figure) {
    switch (figure) {
        case Figure::Vmax: return "vmax";
        case Figure::Vmin: return "vmin";
        case Figure::Vpp: return "vpp";
        case Figure::Vmean: return "vmean";
        case Figure::Vrms: return "vrms";
        case Figure::Frequency: return "frequency";
        case Figure::Period: return "period";
        case Figure::Duty: return "duty";
        case Figure::Rise: return "rise";
        case Figure::Fall: return "fall";
        case Figure::PeakFrequency: return "peak_frequency";
        case Figure::PeakLevel: return "peak_level";
    }
    return "";
}

std::optional<double> SourceFigures::operator[](Figure figure) const {
    for (const Measured& m : figures)
        if (m.figure == figure) return m.value;
    return std::nullopt;
}

bool SourceFigures::has(Figure figure) const {
    return std::any_of(figures.begin(), figures.end(),
                       [figure](const Measured& m) { return m.figure == figure; });
}

std::vector<SourceFigures> measureUpload(const acquisition::ScopeState& upload) {
    std::vector<SourceFigures> measured;
    for (const SampleSeries& series : exporting::sampleSeries(upload)) {
        if (series.source == "FFT")
            measured.push_back(spectrum(series));
        else
            measured.push_back(timeDomain(series, !upload.IsXY));
    }
    return measured;
}

}  // namespace tracebay::measure
