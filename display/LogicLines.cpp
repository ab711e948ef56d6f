#include "display/LogicLines.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tracebay::display {
namespace {

constexpr int Lines = SystemBlock::LogicLines;

// The highlighted line, when the block names one that exists.
int selectedLine(const SystemBlock& block) {
    const int line = block.LaSelectedLine();
    return line < Lines ? line : -1;
}

bool shown(const SystemBlock& block, int line) { return (block.LaLineMask() >> line) & 1; }

bool fftSplit(const SystemBlock& block, std::string_view fftDisplay) {
    return fftDisplay == "ON" && block.FftFullScreen() == 0;
}

int lowRowOffset(const Screen& screen, const SystemBlock& block, int line) {
    return static_cast<int>(std::nearbyint((block.LaLinePos(line) - 25) * screen.s));
}

uint8_t groupHeight(const SystemBlock& block, int line) {
    return line < 8 ? block.LaGroupHeightLow() : block.LaGroupHeightHigh();
}

// When the FFT takes the lower half, a line that lies there moves up by half the screen; one
// that lies in the upper half already stays, so that no line leaves the grid.
double baseRow(const Screen& screen, const SystemBlock& block, std::string_view fftDisplay,
               int line) {
    const int top = block.LaLinePos(line) - (groupHeight(block, line) - 1);
    return fftSplit(block, fftDisplay) && top >= 125 ? 25 - 100 * screen.s : 25;
}

// "D10".."D15" are written as "D" and two separate digits, to fit the 25-pixel margin. On a
// split screen a label never rises above the grid.
void drawLabel(platform::PictureSurface& surface, const Screen& screen, const SystemBlock& block,
               int line, std::string_view fftDisplay) {
    double y =
        (block.LaLinePos(line) - 25) * screen.s + baseRow(screen, block, fftDisplay, line) - 12;
    if (fftSplit(block, fftDisplay)) y = std::max(y, Screen::GridTop);
    surface.setBold(false);
    if (line < 10) {
        surface.textOut(5, y, "D" + std::to_string(line));
        return;
    }
    surface.textOut(5, y, "D");
    surface.textOut(12, y, "1");
    surface.textOut(17, y, std::to_string(line - 10));
}

// Every shown line in its colour, the highlighted one last and on top.
template <typename Draw>
void forShownLines(const SystemBlock& block, bool color, platform::PictureSurface& surface,
                   Draw draw) {
    const int selected = selectedLine(block);
    for (int line = 0; line < Lines; ++line) {
        if (line == selected || !shown(block, line)) continue;
        surface.setForeColor(color ? LaTraceColor : Black);
        draw(line);
    }
    if (selected >= 0 && shown(block, selected)) {
        surface.setForeColor(color ? LaSelectedColor : Black);
        draw(selected);
    }
}

}  // namespace

void DrawLaLabels(platform::PictureSurface& surface, const Screen& screen, const SystemBlock& block,
                  std::string_view, std::string_view fftDisplay, bool colorDisplay) {
    forShownLines(block, colorDisplay, surface,
                  [&](int line) { drawLabel(surface, screen, block, line, fftDisplay); });
}

void DrawLaTraces(platform::PictureSurface& surface, const Screen& screen,
                  const ScopeState::Samples& laSamples, int, const SystemBlock& block,
                  std::string_view, std::string_view fftDisplay, bool colorDisplay) {
    LogicSamples samples;
    const long start = 4L * screenColumn(block.ScreenStart()) + 425;
    long j = 0;
    // The elements are bytes; only their low eight bits count, whatever a saved upload holds.
    const auto byteAt = [&](long i) {
        return static_cast<uint16_t>(sampleAt(laSamples, i) & 0xFF);
    };
    for (long i = start; i <= 2048 && j < LogicSamples::Capacity; i += 2, ++j)
        samples.values[static_cast<size_t>(j)] =
            static_cast<uint16_t>(byteAt(i + 1) << 8 | byteAt(i));
    const int end = screenColumn(block.ScreenEnd());
    forShownLines(block, colorDisplay, surface, [&](int line) {
        DrawLaLine(surface, screen, samples, line, groupHeight(block, line),
                   lowRowOffset(screen, block, line), block, end,
                   baseRow(screen, block, fftDisplay, line));
    });
}

void DrawLaLine(platform::PictureSurface& surface, const Screen& screen,
                const LogicSamples& samples, int line, uint8_t height, int lowRowOffset,
                const SystemBlock& block, int screenEnd, double base) {
    const double s = screen.s;
    const double low = lowRowOffset + base;
    const double high = low - std::nearbyint((height - 1) * s);
    const auto levelRow = [&](bool level) { return level ? high : low; };
    const auto segment = [&](double x1, double y1, double x2, double y2) {
        surface.line(x1, y1, x2, y2);
    };
    const float x0 = static_cast<float>(screenColumn(block.ScreenStart()) * s + 25);
    bool p1 = samples.level(0, line);
    bool p2 = samples.level(1, line);
    if (p1 == p2) {
        surface.pset(x0, levelRow(p1));
    } else {
        segment(x0, high, x0, low);
        const bool nextLow = !samples.level(2, line) && !samples.level(3, line);
        p1 = nextLow;
        p2 = !nextLow;
    }
    double previous = std::nearbyint(x0);
    long next = 2;
    for (float x = static_cast<float>(x0 + s); x <= (screenEnd + 1) * s + 24;
         x += static_cast<float>(s)) {
        const bool c1 = samples.level(next++, line);
        const bool c2 = samples.level(next++, line);
        const double firstHalf = platform::PictureSurface::pixel(double{x} - 0.1);
        const double secondHalf = platform::PictureSurface::pixel(x + s / 2 - 0.1);
        if (c1 == c2) {
            segment(previous, levelRow(p2), firstHalf, levelRow(p2));
            if (p2 != c1) segment(firstHalf, levelRow(p2), firstHalf, levelRow(c1));
            segment(firstHalf, levelRow(c1), secondHalf, levelRow(c1));
        } else if (p1 == p2) {
            // A toggle faster than two samples a column: a full-height mark.
            segment(previous, levelRow(p2), firstHalf, levelRow(p2));
            segment(firstHalf, levelRow(p2), secondHalf, levelRow(p2));
            segment(secondHalf, high, secondHalf, low);
        } else if (p2) {
            segment(previous, high, firstHalf, high);
            segment(firstHalf, high, firstHalf, low);
            segment(firstHalf, low, secondHalf, low);
            segment(secondHalf, low, secondHalf, high);
        } else {
            segment(previous, low, firstHalf, low);
            segment(firstHalf, low, secondHalf, low);
            segment(secondHalf, low, secondHalf, high);
        }
        p1 = c1;
        p2 = c2;
        previous = secondHalf;
    }
}

}  // namespace tracebay::display
