#include "display/Traces.h"

#include "display/Annotation.h"
#include "display/FftXy.h"
#include "display/LogicLines.h"

namespace tracebay::display {
namespace {

constexpr std::string_view Alternation = "ALTERNATION";
constexpr std::string_view On = "ON";

// The X loop's step: the screen's 300 base units over pointCount points.
float pointStep(int pointCount, double s) {
    if (pointCount <= 0) throw DrawingAbandoned("no points to draw");
    return static_cast<float>(300.0 / pointCount * s);
}

// A source that did not come with the last upload leaves out its trace only: its texts and the
// rest of the screen are drawn. A present array read past its end still abandons the drawing.
void drawYt(platform::PictureSurface& surface, const Screen& screen, const ScopeState& slot) {
    const bool color = slot.ColorDisplay;
    const SystemBlock& block = slot.SystemBlock;
    const auto use = [&](Rgb traceColor) {
        if (color) surface.setForeColor(traceColor);
    };
    const auto channel = [&](bool captured, std::string_view name, Rgb traceColor,
                             const std::string& offsetText, const std::string& scaleText,
                             uint8_t valid, const ScopeState::Samples& samples) {
        if (!captured) return;
        use(traceColor);
        DrawChannelAnnotation(surface, screen, name, offsetText, scaleText, slot.TriggerMode,
                              slot.FftDisplay, block.FftFullScreen());
        if (valid == 1 && slot.received(name, samples))
            DrawChannelTrace(surface, screen, samples, slot.PointCount, name, block,
                             slot.TriggerMode, slot.FftDisplay);
    };
    if (!color) surface.setForeColor(Black);
    channel(slot.CapturedCh1, "CH1", Ch1TraceColor, slot.Ch1OffsetText, slot.Ch1ScaleText,
            block.Ch1Valid(), slot.Ch1Samples);
    channel(slot.CapturedCh2, "CH2", Ch2TraceColor, slot.Ch2OffsetText, slot.Ch2ScaleText,
            block.Ch2Valid(), slot.Ch2Samples);
    if (slot.CapturedMath) {
        use(MathTraceColor);
        DrawMathAnnotation(surface, screen, block, slot.TriggerMode, slot.FftDisplay);
        if (slot.FftDisplay == On) {
            if (block.FftValid() == 1 && slot.received("FFT", slot.FftSamples))
                DrawFftTrace(surface, screen, slot.FftSamples, slot.PointCount, block,
                             slot.TriggerMode);
        } else if (block.MathValid() == 1 && slot.received("MATH", slot.MathSamples)) {
            DrawMathTrace(surface, screen, slot.MathSamples, slot.PointCount, block,
                          slot.TriggerMode);
        }
    }
    if (slot.CapturedLa) {
        DrawLaLabels(surface, screen, block, slot.TriggerMode, slot.FftDisplay, color);
        if (block.LaValid() == 1 && slot.received("LA", slot.LaSamples))
            DrawLaTraces(surface, screen, slot.LaSamples, slot.PointCount, block, slot.TriggerMode,
                         slot.FftDisplay, color);
    }
    if (slot.TriggerMode == Alternation)
        DrawAltTriggerAnnotation(surface, screen, slot.AltCh1TimeScaleText,
                                 slot.AltCh1TimeOffsetText, slot.AltCh2TimeScaleText,
                                 slot.AltCh2TimeOffsetText, color);
    else
        DrawTriggerAnnotation(surface, screen, slot.TimeScaleText, slot.TimeOffsetText, color);
}

// The instrument sends no samples of a screen in scan format: the grid says so instead of
// standing empty.
void drawScanNote(platform::PictureSurface& surface, const Screen& screen, bool colour) {
    surface.setBold(false);
    surface.setForeColor(colour ? LightGrey : Black);
    const std::string note = ScanFormatNote;
    surface.textOut(screen.GridCentreX() - surface.textWidth(note) / 2.0, screen.GridCentreY() - 16,
                    note);
}

}  // namespace

void drawTraceWindow(platform::PictureSurface& surface, const Screen& screen,
                     const ScopeState::Samples& samples, int pointCount,
                     const TraceWindow& window) {
    const double s = screen.s;
    const float step = pointStep(pointCount, s);
    const auto row = [&](long i) {
        return window.originY + window.factor * sampleAt(samples, i) * s;
    };
    const double x0 = std::nearbyint(window.firstColumn * s) + 25;
    long index = window.firstElement;
    surface.line(x0, row(index - 1), x0, row(index));
    const double end = (window.lastColumn + 1) * s + 24;
    for (float x = static_cast<float>(x0 + s); x <= end; x += step)
        surface.lineTo(platform::PictureSurface::pixel(double{x} - 0.1), row(++index));
}

void DrawChannelTrace(platform::PictureSurface& surface, const Screen& screen,
                      const ScopeState::Samples& samples, int pointCount, std::string_view channel,
                      const SystemBlock& block, std::string_view triggerMode,
                      std::string_view fftDisplay) {
    const double s = screen.s;
    int a = screenColumn(block.ScreenStart());
    int b = screenColumn(block.ScreenEnd());
    double originY = 25;
    double factor = 1;
    if (triggerMode == Alternation) {
        factor = 0.5;
        if (channel == "CH1") {
            a = screenColumn(block.AltUpperStart());
            b = screenColumn(block.AltUpperEnd());
        } else {
            a = screenColumn(block.AltLowerStart());
            b = screenColumn(block.AltLowerEnd());
            originY = 25 + 100 * s;
        }
    } else if (fftDisplay == On && block.FftFullScreen() == 0) {
        factor = 0.5;  // the FFT takes the lower half
    }
    if (a > b) return;
    drawTraceWindow(surface, screen, samples, pointCount, {a, b, 2L * a + 214, originY, factor});
}

void DrawMathTrace(platform::PictureSurface& surface, const Screen& screen,
                   const ScopeState::Samples& samples, int pointCount, const SystemBlock& block,
                   std::string_view triggerMode) {
    const bool alternate = triggerMode == Alternation;
    const int a = screenColumn(alternate ? block.AltLowerStart() : block.ScreenStart());
    const int b = screenColumn(alternate ? block.AltLowerEnd() : block.ScreenEnd());
    if (a > b) return;
    drawTraceWindow(
        surface, screen, samples, pointCount,
        {a, b, 2L * a + 2, alternate ? 25 + 100 * screen.s : 25.0, alternate ? 0.5 : 1.0});
}

void DrawOSC(platform::PictureSurface& surface, const Screen& screen, const ScopeState& slot) {
    if (!slot.HasData) return;
    if (slot.IsYT) {
        drawYt(surface, screen, slot);
        return;
    }
    if (!slot.IsXY) {
        drawScanNote(surface, screen, slot.ColorDisplay);
        return;
    }
    surface.setForeColor(slot.ColorDisplay ? XyColor : Black);
    if (slot.received("CH1", slot.Ch1Samples) && slot.received("CH2", slot.Ch2Samples))
        DrawXYTrace(surface, screen, slot.Ch1Samples, slot.Ch2Samples, slot.PointCount);
    DrawXYAnnotation(surface, screen, slot.Ch1ScaleText, slot.Ch2ScaleText, slot.ColorDisplay);
}

}  // namespace tracebay::display
