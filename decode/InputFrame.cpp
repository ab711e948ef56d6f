#include "decode/InputFrame.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "decode/Threshold.h"
#include "export/SampleSeries.h"

namespace tracebay::decode {
namespace {

using acquisition::ScopeState;

// Places that differ by less are one.
constexpr double SamePlace = 1e-6;

// The levels of one line or channel at its own places.
struct Track {
    exporting::Places places;
    size_t count = 0;
    int bit = 0;
    std::function<bool(size_t)> high;

    double lastPlace() const { return places.place(count - 1); }
    // The sample that holds at `place`: the last one at or before it.
    size_t at(double place) const {
        const double k = std::floor((place - places.firstPlace) / places.step + SamePlace);
        return static_cast<size_t>(std::clamp(k, 0.0, static_cast<double>(count - 1)));
    }
};

class FrameBuilder {
public:
    FrameBuilder(const ScopeState& upload, std::string& reason)
        : upload_(upload), reason_(reason) {}

    bool add(const std::vector<ChannelSource>& sources) {
        for (const ChannelSource& source : sources) {
            const int bit = frameBit(sources, source);
            if (bit >= 32) return refuse("a stack reads at most 16 channel levels");
            if (!(source.isLine() ? addLine(source, bit) : addChannel(source, bit))) return false;
        }
        return !tracks_.empty() || refuse("the stack reads no line");
    }

    std::optional<InputFrame> frame() {
        InputFrame frame;
        frame.time = *time_;
        if (!placeWords(frame) || !setSampleRate(frame)) return std::nullopt;
        for (const Track& track : tracks_)
            for (size_t n = 0; n < frame.words.size(); ++n)
                if (track.high(track.at(frame.placeOf(n)))) frame.words[n] |= 1u << track.bit;
        return frame;
    }

private:
    bool addLine(const ChannelSource& source, int bit) {
        if (!logic_) {
            logic_ = exporting::logicSeries(upload_);
            if (!logic_) return refuse("the upload holds no logic lines");
            if (acquisition::alternateTrigger(upload_))
                return refuse(
                    "in alternate trigger the upload holds no time base of the logic lines");
            if (!sameTime(logic_->time)) return false;
        }
        const exporting::LogicSeries& logic = *logic_;
        const int line = source.number;
        tracks_.push_back(
            {logic, logic.size(), bit, [&logic, line](size_t i) { return logic.level(i, line); }});
        return true;
    }

    bool addChannel(const ChannelSource& source, int bit) {
        const std::string name = "CH" + std::to_string(source.number);
        if (upload_.IsXY) return refuse("an X-Y upload holds no time base");
        if (series_.empty()) series_ = exporting::sampleSeries(upload_);
        const auto found = std::find_if(series_.begin(), series_.end(),
                                        [&](const auto& s) { return s.source == name; });
        if (found == series_.end()) return refuse("the upload holds no " + name + " samples");
        if (!sameTime(found->axis)) return false;
        std::vector<double> volts;
        for (size_t i = 0; i < found->size(); ++i) {
            const auto v = found->value(i);
            if (!v)
                return refuse(name + "'s scale \"" + scaleText(source.number) +
                              "\" gives no volts");
            volts.push_back(*v);
        }
        auto levels = std::make_shared<std::vector<bool>>(thresholded(volts, source.level));
        tracks_.push_back(
            {*found, found->size(), bit, [levels](size_t i) { return (*levels)[i]; }});
        return true;
    }

    const std::string& scaleText(int channel) const {
        return channel == 1 ? upload_.Ch1ScaleText : upload_.Ch2ScaleText;
    }

    // In alternate trigger each channel has its own time base, and a stack reads one of them.
    bool sameTime(const acquisition::Horizontal& time) {
        if (!time_) {
            time_ = time;
            return true;
        }
        if (time_->zeroColumn == time.zeroColumn && time_->perColumn == time.perColumn) return true;
        return refuse("in alternate trigger CH1 and CH2 lie on time bases of their own");
    }

    // The words lie at the finest step of the tracks, over the places all of them cover.
    bool placeWords(InputFrame& frame) {
        const auto finer = [](const Track& a, const Track& b) {
            return a.places.step < b.places.step;
        };
        frame.step = std::min_element(tracks_.begin(), tracks_.end(), finer)->places.step;
        frame.firstPlace = tracks_.front().places.firstPlace;
        double lastPlace = tracks_.front().lastPlace();
        for (const Track& track : tracks_) {
            frame.firstPlace = std::max(frame.firstPlace, track.places.firstPlace);
            lastPlace = std::min(lastPlace, track.lastPlace());
        }
        if (lastPlace < frame.firstPlace - SamePlace)
            return refuse("its lines and channels have no samples at the same time");
        frame.words.assign(
            static_cast<size_t>((lastPlace - frame.firstPlace) / frame.step + SamePlace) + 1, 0);
        return true;
    }

    bool setSampleRate(InputFrame& frame) {
        const double interval = frame.step * frame.time.perColumn;
        if (!(interval > 0) || !std::isfinite(interval) || !std::isfinite(frame.time.zeroColumn))
            return refuse("the time base \"" + upload_.TimeScaleText +
                          "\" gives no sample interval");
        const double rate = 1 / interval;
        const double whole = std::round(rate);
        if (whole >= 1 && std::abs(rate - whole) <= 1e-6 * rate)
            frame.sampleRate = static_cast<uint64_t>(whole);
        return true;
    }

    bool refuse(const std::string& why) {
        reason_ = why;
        return false;
    }

    const ScopeState& upload_;
    std::string& reason_;
    std::optional<exporting::LogicSeries> logic_;
    std::vector<exporting::SampleSeries> series_;
    std::optional<acquisition::Horizontal> time_;
    std::vector<Track> tracks_;
};

}  // namespace

int frameBit(const std::vector<ChannelSource>& sources, const ChannelSource& source) {
    if (source.isLine()) return source.number;
    int channels = 0;
    for (const ChannelSource& s : sources) {
        if (s == source) break;
        if (!s.isLine()) ++channels;
    }
    return InputFrame::FirstChannelBit + channels;
}

std::optional<InputFrame> inputFrame(const ScopeState& upload,
                                     const std::vector<ChannelSource>& sources,
                                     std::string& reason) {
    FrameBuilder builder(upload, reason);
    if (!builder.add(sources)) return std::nullopt;
    return builder.frame();
}

}  // namespace tracebay::decode
