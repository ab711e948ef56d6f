#include "measure/Measurements.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numeric>

#include "acquisition/QuantityText.h"
#include "acquisition/ScreenAxes.h"
#include "export/SampleSeries.h"
#include "measure/Waveform.h"

namespace tracebay::measure {
namespace {

using exporting::SampleSeries;

// The smallest number of samples a period needs for its crossings and edges to mean something.
constexpr double SamplesAPeriod = 4;
// Successive periods agree when they differ by no more than two samples or 10 %.
constexpr double PeriodSpread = 0.10;
// CH1 and CH2 have one period when they differ by no more than two samples or 2 %.
constexpr double SamePeriod = 0.02;

constexpr std::string_view Fine;

// The figures of a Y-T trace: those of its levels alone, those of its reference levels, and those
// of its crossings and edges.
constexpr Figure LevelFigures[] = {Figure::Vmax, Figure::Vmin, Figure::Vpp, Figure::Vmean,
                                   Figure::Vrms};
constexpr Figure ReferenceFigures[] = {Figure::Top, Figure::Base, Figure::Amplitude,
                                       Figure::Overshoot, Figure::Preshoot};
constexpr Figure TimingFigures[] = {Figure::Frequency, Figure::Period,    Figure::Duty,
                                    Figure::PWidth,    Figure::NWidth,    Figure::Rise,
                                    Figure::Fall,      Figure::CycleMean, Figure::CycleRms};

std::string_view firstReason(std::initializer_list<std::string_view> reasons) {
    for (const std::string_view r : reasons)
        if (!r.empty()) return r;
    return Fine;
}

std::optional<double> mean(const std::vector<double>& values) {
    if (values.empty()) return std::nullopt;
    return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

// Which edges of the grid a series' samples touch or pass.
struct Clipping {
    bool top = false;
    bool bottom = false;

    // The reason for a figure that the top (bottom) clipping corrupts, where it did clip.
    std::string_view of(bool byTop, bool byBottom) const {
        const bool t = top && byTop, b = bottom && byBottom;
        return t && b ? Why::ClippedBoth : t ? Why::ClippedTop : b ? Why::ClippedBottom : Fine;
    }
    std::string_view atTop() const { return of(true, false); }
    std::string_view atBottom() const { return of(false, true); }
    std::string_view either() const { return of(true, true); }
};

Clipping clippingOf(const SampleSeries& series) {
    Clipping c;
    for (size_t i = 0; i < series.size(); ++i) {
        if (!series.clipped(i)) continue;
        (series.rows[i] <= series.topRow ? c.top : c.bottom) = true;
    }
    return c;
}

// The figures of a source as they are found: a figure with a reason is null.
class FigureList {
public:
    explicit FigureList(SourceFigures& out) : out_(out) {}
    void add(Figure figure, std::optional<double> value, std::string_view why, double resolution) {
        if (!why.empty() || !value || !std::isfinite(*value))
            out_.figures.push_back({figure, std::nullopt, std::string(why), resolution});
        else
            out_.figures.push_back({figure, value, "", resolution});
    }

private:
    SourceFigures& out_;
};

SourceFigures described(const SampleSeries& series, const Clipping& clipping) {
    SourceFigures s;
    s.source = series.source;
    s.unit = series.unit;
    s.clipped = std::string(clipping.either());
    return s;
}

// A trace's samples that have a value: in rows above its ground (sums of rows carry no rounding,
// so a trace symmetric about ground has a mean of exactly 0), with their times where the time
// base reads.
struct Samples {
    Waveform wave;
    bool timed = false;
};

Samples samplesOf(const SampleSeries& series) {
    Samples s;
    s.wave.interval = series.axis.perColumn * series.step;
    s.timed = s.wave.interval > 0;
    for (size_t i = 0; i < series.size(); ++i) {
        if (!series.value(i)) continue;
        s.wave.values.push_back(series.vertical.groundRow - series.rows[i]);
        if (s.timed) s.wave.times.push_back(*series.time(i));
    }
    return s;
}

// A Y-T trace measured, with what a delay to another trace needs.
struct Analysed {
    SourceFigures figures;
    std::vector<Transition> crossings;
    std::string_view crossingsWhy;  // why its crossings cannot time a delay
    std::optional<double> period;
    std::string_view periodWhy;
    double interval = 0;
};

class TraceFigures {
public:
    TraceFigures(const SampleSeries& series, bool timed)
        : clip_(clippingOf(series)),
          samples_(samplesOf(series)),
          perRow_(series.vertical.perRow),
          ref_(referenceLevels(samples_.wave.values)),
          timed_(timed) {
        a_.figures = described(series, clip_);
        a_.interval = samples_.wave.interval;
    }

    Analysed measure() {
        FigureList list(a_.figures);
        if (samples_.wave.values.empty()) {
            for (Figure f : LevelFigures) list.add(f, std::nullopt, Why::NoScale, perRow_);
            if (timed_) {
                for (Figure f : ReferenceFigures) list.add(f, std::nullopt, Why::NoScale, 0);
                for (Figure f : TimingFigures) list.add(f, std::nullopt, Why::NoScale, 0);
            }
            a_.crossingsWhy = a_.periodWhy = Why::NoScale;
            return a_;
        }
        addLevels(list);
        if (timed_) addTiming(list);
        return a_;
    }

private:
    const std::vector<double>& values() const { return samples_.wave.values; }
    double amplitude() const { return *ref_.top - *ref_.base; }

    void addLevels(FigureList& list) const {
        double sum = 0, squares = 0;
        for (const double v : values()) {
            sum += v;
            squares += v * v;
        }
        const auto n = static_cast<double>(values().size());
        list.add(Figure::Vmax, ref_.max * perRow_, clip_.atTop(), perRow_);
        list.add(Figure::Vmin, ref_.min * perRow_, clip_.atBottom(), perRow_);
        list.add(Figure::Vpp, ref_.span() * perRow_, clip_.either(), perRow_);
        list.add(Figure::Vmean, sum / n * perRow_, clip_.either(), perRow_);
        list.add(Figure::Vrms, std::sqrt(squares / n) * perRow_, clip_.either(), perRow_);
    }

    std::string_view topWhy() const {
        return firstReason({clip_.atTop(), ref_.top ? Fine : Why::NoTop});
    }
    std::string_view baseWhy() const {
        return firstReason({clip_.atBottom(), ref_.base ? Fine : Why::NoBase});
    }
    // Why the top and base cannot place the 10, 50 and 90 % levels.
    std::string_view levelsWhy() const {
        if (clip_.top || clip_.bottom) return clip_.either();
        const std::string_view missing = firstReason({topWhy(), baseWhy()});
        if (!missing.empty()) return missing;
        return amplitude() > 0 ? Fine : Why::Flat;
    }

    void addReferenceLevels(FigureList& list) const {
        const auto scaled = [&](const std::optional<double>& v) {
            return v ? std::optional(*v * perRow_) : std::nullopt;
        };
        list.add(Figure::Top, scaled(ref_.top), topWhy(), perRow_);
        list.add(Figure::Base, scaled(ref_.base), baseWhy(), perRow_);
        const std::string_view amplitudeWhy =
            clip_.top || clip_.bottom ? clip_.either() : firstReason({topWhy(), baseWhy()});
        const bool found = amplitudeWhy.empty();
        list.add(Figure::Amplitude, found ? std::optional(amplitude() * perRow_) : std::nullopt,
                 amplitudeWhy, perRow_);
        const double share = found && amplitude() > 0 ? 1 / amplitude() : 0;
        list.add(Figure::Overshoot,
                 found ? std::optional((ref_.max - *ref_.top) * share) : std::nullopt, levelsWhy(),
                 share);
        list.add(Figure::Preshoot,
                 found ? std::optional((*ref_.base - ref_.min) * share) : std::nullopt, levelsWhy(),
                 share);
    }

    // The crossings: of the true mid level where top and base are known, else of the middle
    // of the largest and smallest sample, which serves a period as well.
    void findCrossings() {
        if (!(ref_.span() > 0)) return;
        const bool levels = ref_.top && ref_.base && amplitude() > 0;
        a_.crossings = samples_.wave.transitions(levels ? *ref_.base : ref_.min,
                                                 levels ? *ref_.top : ref_.max);
    }

    void findPeriod() {
        const double interval = a_.interval;
        const auto periods = wholePeriods(a_.crossings);
        if (!(ref_.span() > 0)) {
            a_.periodWhy = Why::Flat;
        } else if (!periods) {
            a_.periodWhy = Why::FewPeriods;
        } else if (periods->mean() < SamplesAPeriod * interval) {
            a_.periodWhy = underSampled_ = Why::UnderSampled;
        } else {
            const double spread = std::max(2 * interval, PeriodSpread * periods->mean());
            const bool steady =
                std::all_of(periods->lengths.begin(), periods->lengths.end(),
                            [&](double p) { return std::abs(p - periods->mean()) <= spread; });
            if (!steady) a_.periodWhy = irregular_ = Why::Irregular;
        }
        if (periods) periods_ = *periods;
        if (a_.periodWhy.empty()) a_.period = periods->mean();
    }

    void addTiming(FigureList& list) {
        addReferenceLevels(list);
        if (!samples_.timed) {
            for (Figure f : TimingFigures) list.add(f, std::nullopt, Why::NoTimeBase, 0);
            a_.crossingsWhy = a_.periodWhy = Why::NoTimeBase;
            return;
        }
        findCrossings();
        findPeriod();
        const double interval = a_.interval;
        const auto period = a_.period;
        list.add(Figure::Frequency, period ? std::optional(1 / *period) : std::nullopt,
                 a_.periodWhy, period ? interval / (*period * *period) : 0);
        list.add(Figure::Period, period, a_.periodWhy, interval);
        addWidths(list);
        addEdges(list, Figure::Rise, true);
        addEdges(list, Figure::Fall, false);
        addCycles(list);
        a_.crossingsWhy = firstReason({levelsWhy(), underSampled_, irregular_});
    }

    // The mean time from each crossing of the mid level to the next in the other direction.
    std::optional<double> width(bool positive) const {
        std::vector<double> widths;
        for (size_t k = 0; k + 1 < a_.crossings.size(); ++k)
            if (a_.crossings[k].rising == positive)
                widths.push_back(a_.crossings[k + 1].time - a_.crossings[k].time);
        return mean(widths);
    }

    // Pulses of periods that differ differ themselves: their mean is no pulse's width.
    void addWidths(FigureList& list) const {
        const std::string_view edgeWhy = firstReason({levelsWhy(), underSampled_, irregular_});
        const auto positive = width(true);
        const auto negative = width(false);
        const std::string_view positiveWhy =
            firstReason({edgeWhy, positive ? Fine : Why::NoPositivePulse});
        const auto period = a_.period;
        list.add(Figure::Duty,
                 period && positive ? std::optional(*positive / *period) : std::nullopt,
                 firstReason({positiveWhy, a_.periodWhy}), period ? a_.interval / *period : 0);
        list.add(Figure::PWidth, positive, positiveWhy, a_.interval);
        list.add(Figure::NWidth, negative,
                 firstReason({edgeWhy, negative ? Fine : Why::NoNegativePulse}), a_.interval);
    }

    void addEdges(FigureList& list, Figure figure, bool rising) {
        const std::string_view edgeWhy = firstReason({levelsWhy(), underSampled_});
        std::vector<std::optional<double>> edges;
        if (edgeWhy.empty())
            edges = samples_.wave.edgeTimes(a_.crossings, rising, *ref_.base, *ref_.top);
        const bool tooFast =
            std::any_of(edges.begin(), edges.end(), [](const auto& e) { return !e; });
        std::vector<double> times;
        for (const auto& e : edges)
            if (e) times.push_back(*e);
        if (tooFast) faster_ = Why::faster(a_.interval);
        const std::string_view why = firstReason(
            {edgeWhy, edges.empty() ? (rising ? Why::NoRisingEdge : Why::NoFallingEdge) : Fine,
             tooFast ? std::string_view(faster_) : Fine});
        list.add(figure, mean(times), why, a_.interval);
    }

    void addCycles(FigureList& list) const {
        const std::string_view why = firstReason({clip_.either(), a_.periodWhy});
        const bool found = why.empty();
        const Waveform& wave = samples_.wave;
        // An edge may lie anywhere within its sample: the samples of whole periods are as fine as
        // a sample's share of the period in amplitude.
        const double resolution =
            found ? std::max(perRow_, ref_.span() * perRow_ * a_.interval / *a_.period) : perRow_;
        list.add(Figure::CycleMean,
                 found ? std::optional(wave.meanBetween(periods_.first, periods_.last) * perRow_)
                       : std::nullopt,
                 why, resolution);
        list.add(Figure::CycleRms,
                 found ? std::optional(wave.rmsBetween(periods_.first, periods_.last) * perRow_)
                       : std::nullopt,
                 why, resolution);
    }

    const Clipping clip_;
    const Samples samples_;
    const double perRow_;
    const ReferenceLevels ref_;
    const bool timed_;
    Analysed a_;
    Periods periods_;
    std::string_view underSampled_;
    std::string_view irregular_;
    std::string faster_;
};

// The delay from CH1's rising crossings to CH2's next ones, and as a share of CH1's period.
class PairFigures {
public:
    PairFigures(const Analysed& ch1, const Analysed& ch2, bool oneTimeBase)
        : ch1_(ch1), ch2_(ch2), oneTimeBase_(oneTimeBase) {}

    SourceFigures measure() {
        SourceFigures pair;
        pair.source = "CH1-CH2";
        pair.trace = false;
        FigureList list(pair);
        const auto delay = delays();
        const std::string_view delayWhy = why_.empty() ? std::string_view(reason_) : why_;
        const double interval = ch1_.interval;
        list.add(Figure::Delay, delay, delayWhy, interval);
        std::string phaseWhy(delayWhy);
        if (phaseWhy.empty() && !ch1_.period) phaseWhy = "CH1: " + std::string(ch1_.periodWhy);
        const auto period = ch1_.period;
        list.add(Figure::Phase,
                 delay && period ? std::optional(360 * *delay / *period) : std::nullopt, phaseWhy,
                 period ? 360 * interval / *period : 0);
        return pair;
    }

private:
    std::optional<double> delays() {
        if (!oneTimeBase_) return because(Why::TwoTimeBases);
        if (!ch1_.crossingsWhy.empty()) return because("CH1: " + std::string(ch1_.crossingsWhy));
        if (!ch2_.crossingsWhy.empty()) return because("CH2: " + std::string(ch2_.crossingsWhy));
        const auto p1 = ch1_.period, p2 = ch2_.period;
        if (p1 && p2 && std::abs(*p1 - *p2) > std::max(2 * ch1_.interval, SamePeriod * *p1))
            return because(Why::OtherPeriods);
        std::vector<double> found;
        for (const Transition& one : ch1_.crossings) {
            if (!one.rising) continue;
            for (const Transition& two : ch2_.crossings)
                if (two.rising && two.time >= one.time) {
                    if (!p1 || two.time - one.time < *p1) found.push_back(two.time - one.time);
                    break;
                }
        }
        if (found.empty()) return because(Why::NoFollowingEdge);
        if (!p1) return mean(found);
        // Delays of nearly a whole period and of nearly none are one delay.
        for (double& d : found) d += std::round((found.front() - d) / *p1) * *p1;
        const double d = *mean(found);
        return d - std::floor(d / *p1) * *p1;
    }

    std::optional<double> because(std::string_view why) {
        why_ = why;
        return std::nullopt;
    }
    std::optional<double> because(std::string why) {
        reason_ = std::move(why);
        return std::nullopt;
    }

    const Analysed& ch1_;
    const Analysed& ch2_;
    const bool oneTimeBase_;
    std::string_view why_;
    std::string reason_;
};

// The highest column, of equal ones the first. A column on the top row may stand for a higher
// one: its level is lost, and so is its frequency when another column is there too.
SourceFigures spectrum(const SampleSeries& series) {
    const Clipping clip = clippingOf(series);
    SourceFigures figures = described(series, clip);
    FigureList list(figures);
    std::optional<size_t> peak;
    std::vector<double> atTop;
    for (size_t i = 0; i < series.size(); ++i) {
        const auto value = series.value(i);
        if (!value) continue;
        if (series.rows[i] <= series.topRow && series.time(i)) atTop.push_back(*series.time(i));
        if (!peak || *value > *series.value(*peak)) peak = i;
    }
    const double perSample = series.axis.perColumn * series.step;
    if (!peak) {
        list.add(Figure::PeakFrequency, std::nullopt, Why::NoScale, perSample);
        list.add(Figure::PeakLevel, std::nullopt, Why::NoScale, series.vertical.perRow);
        return figures;
    }
    const bool top = series.rows[*peak] <= series.topRow;
    const bool bottom = series.rows[*peak] >= series.bottomRow;
    const std::string_view levelWhy = top ? Why::ClippedTop : bottom ? Why::ClippedBottom : Fine;
    const bool several =
        std::any_of(atTop.begin(), atTop.end(), [&](double f) { return f != atTop.front(); });
    const std::string_view frequencyWhy =
        firstReason({top && several ? Why::ClippedTop : Fine, bottom ? Why::ClippedBottom : Fine,
                     series.time(*peak) ? Fine : Why::NoFrequencyScale});
    list.add(Figure::PeakFrequency, series.time(*peak), frequencyWhy, perSample);
    list.add(Figure::PeakLevel, series.value(*peak), levelWhy, series.vertical.perRow);
    return figures;
}

// X-Y: the level figures of each channel, both read alike.
SourceFigures pointLevels(const SampleSeries& series) {
    return TraceFigures(series, false).measure().figures;
}

// "10.0 us" as "10 us".
std::string shortest(std::string text) {
    const size_t blank = text.find(' ');
    const size_t point = text.find('.');
    if (point == std::string::npos || point > blank) return text;
    size_t end = blank;
    while (text[end - 1] == '0') --end;
    if (text[end - 1] == '.') --end;
    return text.erase(end, blank - end);
}

}  // namespace

std::string Why::faster(double sampleInterval) {
    return "faster than one sample (< " +
           shortest(acquisition::quantityText(sampleInterval, 0, "s", true)) + ")";
}

namespace {

struct Names {
    Figure figure;
    std::string_view key;
    std::string_view name;
};

constexpr Names AllNames[] = {
    {Figure::Vmax, "vmax", "Max"},
    {Figure::Vmin, "vmin", "Min"},
    {Figure::Vpp, "vpp", "Pk-Pk"},
    {Figure::Vmean, "vmean", "Mean"},
    {Figure::Vrms, "vrms", "RMS"},
    {Figure::Top, "top", "Top"},
    {Figure::Base, "base", "Base"},
    {Figure::Amplitude, "amplitude", "Ampl"},
    {Figure::Frequency, "frequency", "Freq"},
    {Figure::Period, "period", "Period"},
    {Figure::Duty, "duty", "Duty"},
    {Figure::PWidth, "pwidth", "+Width"},
    {Figure::NWidth, "nwidth", "\u2212Width"},
    {Figure::Rise, "rise", "Rise"},
    {Figure::Fall, "fall", "Fall"},
    {Figure::Overshoot, "overshoot", "Overshoot"},
    {Figure::Preshoot, "preshoot", "Preshoot"},
    {Figure::CycleMean, "cycle_mean", "Cyc Mean"},
    {Figure::CycleRms, "cycle_rms", "Cyc RMS"},
    {Figure::PeakFrequency, "peak_frequency", "Peak Freq"},
    {Figure::PeakLevel, "peak_level", "Peak Level"},
    {Figure::Delay, "delay", "Delay"},
    {Figure::Phase, "phase", "Phase"},
};

const Names& namesOf(Figure figure) { return AllNames[static_cast<size_t>(figure)]; }

}  // namespace

std::string_view figureKey(Figure figure) { return namesOf(figure).key; }
std::string_view figureName(Figure figure) { return namesOf(figure).name; }

std::optional<Figure> figureOfKey(std::string_view key) {
    for (const Names& n : AllNames)
        if (n.key == key) return n.figure;
    return std::nullopt;
}

const Measured* SourceFigures::find(Figure figure) const {
    for (const Measured& m : figures)
        if (m.figure == figure) return &m;
    return nullptr;
}

std::optional<double> SourceFigures::operator[](Figure figure) const {
    const Measured* m = find(figure);
    return m ? m->value : std::nullopt;
}

std::vector<SourceFigures> measureUpload(const acquisition::ScopeState& upload) {
    std::vector<SourceFigures> measured;
    std::optional<Analysed> ch1, ch2;
    for (const SampleSeries& series : exporting::sampleSeries(upload)) {
        if (series.source == "FFT") {
            measured.push_back(spectrum(series));
        } else if (upload.IsXY) {
            measured.push_back(pointLevels(series));
        } else {
            Analysed a = TraceFigures(series, true).measure();
            measured.push_back(a.figures);
            if (series.source == "CH1") ch1 = std::move(a);
            if (series.source == "CH2") ch2 = std::move(a);
        }
    }
    if (ch1 && ch2)
        measured.push_back(
            PairFigures(*ch1, *ch2, !acquisition::alternateTrigger(upload)).measure());
    for (SourceFigures& source : measured)
        std::stable_sort(source.figures.begin(), source.figures.end(),
                         [](const Measured& a, const Measured& b) { return a.figure < b.figure; });
    return measured;
}

}  // namespace tracebay::measure
