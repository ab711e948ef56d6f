#include "display/CursorOverlay.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "acquisition/QuantityText.h"
#include "acquisition/ScreenAxes.h"

namespace tracebay::display {
namespace {

constexpr int ReadoutPadding = 3;
constexpr int ReadoutLineHeight = 11;

std::string quantity(double value, std::string_view unit) {
    return acquisition::quantityText(value, 0, unit, true);
}

// A place in pixels as screen columns from the grid's left edge.
double gridColumn(double pixel, double s) { return (pixel - Screen::GridLeft) / s; }

void addTimeLines(std::vector<ReadoutLine>& lines, const Screen& screen, const Cursors& cursors,
                  const ScopeState& slot) {
    // In alternate trigger the upper half's time base stands for the screen's.
    const acquisition::Horizontal time = acquisition::halfTimeBase(slot, true);
    const auto t1 = time.at(gridColumn(cursors.CursorX1, screen.s));
    const auto t2 = time.at(gridColumn(cursors.CursorX2, screen.s));
    if (!t1 || !t2) return;
    const double distance = std::abs(*t1 - *t2);
    lines.push_back(
        {ReadoutLine::Kind::Time, "X1 " + quantity(*t1, "s") + "   X2 " + quantity(*t2, "s")});
    std::string difference = "|X1-X2| " + quantity(distance, "s");
    if (distance > 0) difference += "   " + quantity(1 / distance, "Hz");
    lines.push_back({ReadoutLine::Kind::Time, difference});
}

// A place in pixels as a row of a channel's samples, as the channel is drawn: in alternate
// trigger each channel in its half of the grid, beside a split FFT both in the upper half.
double channelRow(double pixel, const Screen& screen, const ScopeState& slot, bool ch1) {
    const bool alternate = acquisition::alternateTrigger(slot);
    const bool halved =
        alternate || (slot.FftDisplay == "ON" && slot.SystemBlock.FftFullScreen() == 0);
    const double top = Screen::GridTop + (alternate && !ch1 ? 100 * screen.s : 0);
    return (pixel - top) / screen.s * (halved ? 2 : 1);
}

void addVoltLines(std::vector<ReadoutLine>& lines, const Screen& screen, const Cursors& cursors,
                  const ScopeState& slot, bool ch1) {
    const std::string& scaleText = ch1 ? slot.Ch1ScaleText : slot.Ch2ScaleText;
    if (scaleText.empty()) return;
    const std::string name = ch1 ? "CH1" : "CH2";
    const ReadoutLine::Kind kind = ch1 ? ReadoutLine::Kind::Ch1 : ReadoutLine::Kind::Ch2;
    const acquisition::Vertical volts =
        acquisition::channelVertical(scaleText, ch1 ? slot.Ch1OffsetText : slot.Ch2OffsetText);
    const auto v1 = volts.at(channelRow(cursors.CursorY1, screen, slot, ch1));
    const auto v2 = volts.at(channelRow(cursors.CursorY2, screen, slot, ch1));
    if (!v1 || !v2) return;
    lines.push_back({kind, name + " Y1 " + quantity(*v1, "V") + "   Y2 " + quantity(*v2, "V")});
    lines.push_back({kind, name + " |Y1-Y2| " + quantity(std::abs(*v1 - *v2), "V")});
}

}  // namespace

std::vector<ReadoutLine> cursorReadout(const Screen& screen, const Cursors& cursors,
                                       const ScopeState& slot) {
    std::vector<ReadoutLine> lines;
    if (cursors.TimeCursorsOn) addTimeLines(lines, screen, cursors, slot);
    if (!cursors.VoltCursorsOn) return lines;
    addVoltLines(lines, screen, cursors, slot, true);
    addVoltLines(lines, screen, cursors, slot, false);
    return lines;
}

void CursorOverlay::CreateBackBuffer(const platform::PictureSurface& wavePic, bool colorDisplay) {
    BackBuffer = std::make_unique<platform::PictureSurface>(wavePic.width(), wavePic.height(),
                                                            wavePic.devicePixelRatio());
    BackBuffer->copyFrom(wavePic);
    BackBuffer->setRecording(wavePic.recording());
    penColor_ = colorDisplay ? CursorColor : Black;
    colorDisplay_ = colorDisplay;
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

// Readable over any trace and in either scheme: the box is the screen's background, framed, and
// the texts are in their traces' colours, black on white in black and white.
void CursorOverlay::DisplayCursorM(const Screen& screen, const Cursors& cursors,
                                   const ScopeState& slot) {
    const std::vector<ReadoutLine> lines = cursorReadout(screen, cursors, slot);
    if (lines.empty()) return;
    BackBuffer->setBold(false);
    int widest = 0;
    for (const ReadoutLine& line : lines)
        widest = std::max(widest, BackBuffer->textWidth(line.text));
    const double width = widest + 2 * ReadoutPadding;
    const double height =
        static_cast<double>(lines.size()) * ReadoutLineHeight + 2 * ReadoutPadding;
    const double left = screen.GridRight() - 2 - width;
    const double top = Screen::GridTop + 2;
    BackBuffer->setForeColor(colorDisplay_ ? LightGrey : Black);
    BackBuffer->fillBox(left, top, width, height);
    BackBuffer->setForeColor(screenBackground(colorDisplay_));
    BackBuffer->fillBox(left + 1, top + 1, width - 2, height - 2);
    const auto colorOf = [this](ReadoutLine::Kind kind) {
        if (!colorDisplay_) return Black;
        switch (kind) {
            case ReadoutLine::Kind::Ch1: return Ch1TraceColor;
            case ReadoutLine::Kind::Ch2: return Ch2TraceColor;
            case ReadoutLine::Kind::Time: break;
        }
        return CursorMathColor;
    };
    double y = top + ReadoutPadding;
    for (const ReadoutLine& line : lines) {
        BackBuffer->setForeColor(colorOf(line.kind));
        BackBuffer->textOut(left + ReadoutPadding, y, line.text);
        y += ReadoutLineHeight;
    }
}

}  // namespace tracebay::display
