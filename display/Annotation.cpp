#include "display/Annotation.h"

#include <cmath>
#include <optional>

#include "acquisition/ValueText.h"

namespace tracebay::display {
namespace {

using acquisition::ParsedValue;

constexpr std::string_view Alternation = "ALTERNATION";
constexpr std::string_view On = "ON";

// How far a marker in the lower half moves down: 100 s as a 16-bit integer.
int lowerHalfShift(double s) {
    return static_cast<int16_t>(std::clamp(std::nearbyint(100 * s), -32768.0, 32767.0));
}

// An arrow at the left edge, pointing into the grid at row Y, with its label inside.
void groundMarker(platform::PictureSurface& surface, double y, const char* label, bool math) {
    surface.line(6, y, 19, y);
    surface.lineTo(23, y + 5);
    surface.lineTo(19, y + 10);
    surface.lineTo(6, y + 10);
    surface.lineTo(6, y);
    surface.setBold(false);
    if (math)
        surface.textOut(9, y - 3, label);
    else
        surface.textOut(10, y - 1, label);
}

// The fixed triangle above the centre, and the flag at trigger position p with its "T".
void triggerMarkers(platform::PictureSurface& surface, const Screen& screen, double p, double v) {
    const double s = screen.s;
    const double x0 = 150 * s + 21;
    surface.line(x0, v + 26, x0 + 8, v + 26);
    surface.lineTo(x0 + 4, v + 30);
    surface.lineTo(x0, v + 26);
    const double x1 = p * s + 21;
    surface.line(x1, v + 30, x1 + 8, v + 30);
    surface.lineTo(x1 + 8, v + 40);
    surface.lineTo(x1 + 4, v + 44);
    surface.lineTo(x1, v + 40);
    surface.lineTo(x1, v + 30);
    surface.setBold(false);
    surface.textOut(x1 + 1, v + 31, "T");
}

// The trigger position in base units from the left grid line; nothing when the time scale is
// not a positive number.
std::optional<double> triggerPosition(const std::string& scaleText, const std::string& offsetText) {
    const ParsedValue scale = acquisition::ParseTimeText(scaleText);
    const ParsedValue offset = acquisition::ParseTimeText(offsetText);
    if (!(scale.value > 0)) return std::nullopt;
    const double p = 150 - 25 * offset.value / scale.value;
    if (!std::isfinite(p)) return std::nullopt;
    return p;
}

void markIfOnScreen(platform::PictureSurface& surface, const Screen& screen,
                    std::optional<double> p, double v) {
    if (p && *p > 0 && *p < 300) triggerMarkers(surface, screen, *p, v);
}

void boldText(platform::PictureSurface& surface, double x, double y, const std::string& text) {
    surface.setBold(true);
    surface.textOut(x, y, text);
}

void normalText(platform::PictureSurface& surface, double x, double y, const std::string& text) {
    surface.setBold(false);
    surface.textOut(x, y, text);
}

}  // namespace

// A scale that is not a positive number leaves the ground row undefined: the channel gets
// neither marker nor text.
void DrawChannelAnnotation(platform::PictureSurface& surface, const Screen& screen,
                           std::string_view channel, const std::string& offsetText,
                           const std::string& scaleText, std::string_view triggerMode,
                           std::string_view fftDisplay, uint8_t fftFullScreen) {
    const double s = screen.s;
    const bool alternate = triggerMode == Alternation;
    const double div = alternate || (fftDisplay == On && fftFullScreen == 0) ? 2 : 1;
    const double offset = acquisition::ParseSmallVoltText(offsetText).value;
    const double scale = acquisition::ParseSmallVoltText(scaleText).value;
    if (!(scale > 0)) return;
    double r = 100 - 25 * offset / scale;
    if (!std::isfinite(r) || r >= 200 || r <= 0) return;
    r /= div;
    const bool ch1 = channel == "CH1";
    const double y = r * s + 20 + (!ch1 && alternate ? lowerHalfShift(s) : 0);
    groundMarker(surface, y, ch1 ? "1" : "2", false);
    boldText(surface, ch1 ? 25 : 25 + 75 * s, 25 + 203 * s, std::string(channel) + " " + scaleText);
}

void DrawMathAnnotation(platform::PictureSurface& surface, const Screen& screen,
                        const SystemBlock& block, std::string_view triggerMode,
                        std::string_view fftDisplay) {
    const double s = screen.s;
    const bool fft = fftDisplay == On;
    const double r = 100 - (fft ? block.FftOffsetRows() : block.MathOffsetRows());
    if (r >= 200 || r <= 0) return;
    const bool alternate = triggerMode == Alternation;
    const int h = lowerHalfShift(s);
    double div = 1;
    double v = 0;
    if (alternate) {
        div = 2;
        v = fft && block.FftLowerHalf() == 0 ? 0 : h;
    } else if (fft && block.FftFullScreen() == 0) {
        div = 2;
        v = h;
    }
    groundMarker(surface, r / div * s + 20 + v, "m", true);
    const double y = 25 + 214 * s;
    if (block.MathOperation() == 3) {
        const std::string scale = acquisition::singleText(block.FftScale());
        const std::string perDivision = block.FftDbScale() == 0
                                            ? acquisition::VoltToText(scale) + "rms/div  "
                                            : acquisition::DbToText(scale) + "Vrms/div ";
        boldText(surface, 25, y, "FFT " + perDivision);
        boldText(surface, 25 + 150 * s, y,
                 acquisition::FreqToText(acquisition::singleText(block.FftHzPerDiv())) + "/div");
        return;
    }
    boldText(surface, 25, y,
             "Math scale " + acquisition::VoltToText(acquisition::singleText(block.MathScale())) +
                 (block.MathOperation() == 2 ? "2" : ""));
}

void DrawTriggerAnnotation(platform::PictureSurface& surface, const Screen& screen,
                           const std::string& timeScaleText, const std::string& timeOffsetText,
                           bool colorDisplay) {
    const double s = screen.s;
    surface.setForeColor(colorDisplay ? TriggerColor : Black);
    markIfOnScreen(surface, screen, triggerPosition(timeScaleText, timeOffsetText), 0);
    normalText(surface, 25 + 200 * s, 25 + 203 * s, "Delay:" + timeOffsetText);
    surface.setForeColor(colorDisplay ? White : Black);
    boldText(surface, 25 + 150 * s, 25 + 203 * s, timeScaleText);
}

void DrawAltTriggerAnnotation(platform::PictureSurface& surface, const Screen& screen,
                              const std::string& ch1ScaleText, const std::string& ch1OffsetText,
                              const std::string& ch2ScaleText, const std::string& ch2OffsetText,
                              bool colorDisplay) {
    const double s = screen.s;
    surface.setForeColor(colorDisplay ? TriggerColor : Black);
    markIfOnScreen(surface, screen, triggerPosition(ch1ScaleText, ch1OffsetText), 0);
    markIfOnScreen(surface, screen, triggerPosition(ch2ScaleText, ch2OffsetText), 100 * s);
    surface.setForeColor(colorDisplay ? Ch1TraceColor : Black);
    normalText(surface, 25 + 150 * s, 25 + 203 * s, "Delay1: " + ch1OffsetText);
    boldText(surface, 25 + 138 * s, 25 + 85 * s, ch1ScaleText);
    surface.setForeColor(colorDisplay ? Ch2TraceColor : Black);
    normalText(surface, 25 + 230 * s, 25 + 203 * s, "Delay2: " + ch2OffsetText);
    boldText(surface, 25 + 138 * s, 25 + 185 * s, ch2ScaleText);
}

}  // namespace tracebay::display
