#include "display/CursorOverlay.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "acquisition/ValueText.h"

namespace tracebay::display {
namespace {

std::string withPoints(std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    return text;
}

}  // namespace

void CursorOverlay::CreateBackBuffer(const platform::PictureSurface& wavePic, bool colorDisplay) {
    BackBuffer = std::make_unique<platform::PictureSurface>(wavePic.width(), wavePic.height(),
                                                            wavePic.devicePixelRatio());
    BackBuffer->copyFrom(wavePic);
    BackBuffer->setRecording(wavePic.recording());
    penColor_ = colorDisplay ? CursorColor : Black;
    CursorLabelColor = colorDisplay ? LightGrey : Black;
    CursorCh1Color = colorDisplay ? Ch1TraceColor : LightGrey;
    CursorCh2Color = colorDisplay ? Ch2TraceColor : LightGrey;
    CursorReadoutMathColor = colorDisplay ? CursorMathColor : LightGrey;
}

void CursorOverlay::DeleteBackBuffer() { BackBuffer.reset(); }

void CursorOverlay::triangle(double x1, double y1, double x2, double y2, double x3, double y3) {
    BackBuffer->setDotted(false);
    BackBuffer->line(x1, y1, x2, y2);
    BackBuffer->lineTo(x3, y3);
    BackBuffer->lineTo(x1, y1);
}

void CursorOverlay::drawTimeCursors(const Screen& screen, const Cursors& cursors) {
    const double bottom = screen.GridBottom();
    BackBuffer->setDotted(true);
    for (double x : {cursors.CursorX1, cursors.CursorX2}) BackBuffer->line(x, 30, x, bottom - 5);
    for (double x : {cursors.CursorX1, cursors.CursorX2}) {
        triangle(x - 5, 25, x + 5, 25, x, 30);
        triangle(x - 5, bottom, x + 5, bottom, x, bottom - 5);
    }
}

void CursorOverlay::drawVoltCursors(const Screen& screen, const Cursors& cursors) {
    const double right = screen.GridRight();
    const double ys[] = {cursors.CursorY1, static_cast<double>(cursors.CursorY2)};
    BackBuffer->setDotted(true);
    for (double y : ys) BackBuffer->line(30, y, right - 5, y);
    for (double y : ys) {
        triangle(25, y - 5, 25, y + 5, 30, y);
        triangle(right, y - 5, right, y + 5, right - 5, y);
    }
}

// With both cursor pairs off nothing would be drawn: the picture stays as it is, without the
// round trip through the back buffer.
void CursorOverlay::DrawCursorOverlay(platform::PictureSurface& wavePic, const Screen& screen,
                                      Cursors& cursors, const ScopeState& slot) {
    const double right = screen.GridRight() - 2;
    const double bottom = screen.GridBottom() - 2;
    cursors.CursorX1 = std::clamp(cursors.CursorX1, 27.0, std::max(27.0, right));
    cursors.CursorX2 = std::clamp(cursors.CursorX2, 27.0, std::max(27.0, right));
    cursors.CursorY1 = std::clamp(cursors.CursorY1, 27.0, std::max(27.0, bottom));
    cursors.CursorY2 = static_cast<int16_t>(std::nearbyint(std::clamp(
        static_cast<double>(cursors.CursorY2), 27.0, std::clamp(bottom, 27.0, 32767.0))));
    if (!cursors.TimeCursorsOn && !cursors.VoltCursorsOn) return;
    CreateBackBuffer(wavePic, slot.ColorDisplay);
    BackBuffer->setForeColor(penColor_);
    if (cursors.TimeCursorsOn) drawTimeCursors(screen, cursors);
    if (cursors.VoltCursorsOn) drawVoltCursors(screen, cursors);
    BackBuffer->setDotted(false);
    DisplayCursorM(screen, cursors, slot);
    wavePic.copyFrom(*BackBuffer);
    wavePic.appendRecords(*BackBuffer);
    DeleteBackBuffer();
}

// The distances between the cursors, in time (with its frequency) and in volts per channel.
void CursorOverlay::DisplayCursorM(const Screen& screen, const Cursors& cursors,
                                   const ScopeState& slot) {
    const double s = screen.s;
    const double x = 25 + 300 * s - 140;
    double y = 30;
    BackBuffer->setBold(false);
    const auto write = [&](Rgb color, const std::string& text) {
        BackBuffer->setForeColor(color);
        BackBuffer->textOut(x, y, text);
        y += 20;
    };
    if (cursors.TimeCursorsOn && !slot.TimeScaleText.empty()) {
        const double perDivision = acquisition::ParseTimeText(slot.TimeScaleText).value;
        double dt = std::abs(cursors.CursorX1 - cursors.CursorX2) * perDivision * 12 / 300 / s;
        const std::string timeText = acquisition::ConvertTimeToStr(dt);
        const double period = acquisition::GetTimeVlu(withPoints(timeText));
        double frequency = period == 0 ? 0 : 1 / period;
        const std::string frequencyText =
            period == 0 ? "???.? Hz" : acquisition::ConvertFreqToStr(frequency);
        write(CursorReadoutMathColor, "1/|X1-X2|=" + frequencyText);
        write(CursorReadoutMathColor, "|X1-X2|   =" + timeText);
    }
    if (!cursors.VoltCursorsOn) return;
    const double dy = std::abs(cursors.CursorY1 - cursors.CursorY2) * 8 / 200 / s;
    const struct {
        const std::string& scaleText;
        Rgb color;
    } channels[] = {{slot.Ch1ScaleText, CursorCh1Color}, {slot.Ch2ScaleText, CursorCh2Color}};
    for (const auto& channel : channels) {
        if (channel.scaleText.empty()) continue;
        const double perDivision = acquisition::ParseVoltText(channel.scaleText).value;
        write(channel.color, "|Y1-Y2|  =" + acquisition::ConvertVoltToStr(dy * perDivision));
    }
}

}  // namespace tracebay::display
