// One full repaint (every trace, 16 logic lines, the settings texts, the grid) against a plain
// fill of a picture of the same size, at 100% and 500%.

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cmath>

#include "display/Repaint.h"
#include "tests/display/SlotBuilder.h"

namespace {

using namespace tracebay;
using display::SlotBuilder;

acquisition::ScopeState fullSlot() {
    SlotBuilder b;
    b.byte(13, 1).byte(14, 1).byte(15, 1).byte(70, 1);
    b.int16(72, static_cast<int16_t>(0xFFFF)).byte(106, 3).byte(107, 9).byte(108, 9);
    for (int k = 0; k < 16; ++k) b.int16(74 + 2 * k, 37 + 12 * k);
    auto& s = b.slot;
    s.CapturedCh1 = s.CapturedCh2 = s.CapturedMath = s.CapturedLa = true;
    s.Ch1ScaleText = "500mV";
    s.Ch1OffsetText = "1.00V";
    s.Ch2ScaleText = "1.00V";
    s.Ch2OffsetText = "-2.00V";
    s.Ch1Samples = s.Ch2Samples = s.MathSamples = s.LaSamples = SlotBuilder::samples(0);
    for (size_t i = 0; i < s.Ch1Samples.size(); ++i) {
        s.Ch1Samples[i] = static_cast<int32_t>(100 + 60 * std::sin(i / 20.0));
        s.Ch2Samples[i] = i / 50 % 2 ? 40 : 160;
        s.MathSamples[i] = static_cast<int32_t>(100 + 30 * std::cos(i / 13.0));
        s.LaSamples[i] = static_cast<int32_t>(i / 7 % 256);
    }
    return s;
}

void fullRepaint(benchmark::State& state) {
    const display::Screen screen{state.range(0) / 100.0};
    const acquisition::ScopeState slot = fullSlot();
    platform::PictureSurface surface(screen.pictureWidth(), screen.pictureHeight());
    display::Cursors cursors;
    display::CursorOverlay overlay;
    for (auto _ : state) {
        display::Repaint(surface, screen, slot, cursors, overlay);
        benchmark::DoNotOptimize(surface.image().constBits());
    }
}

void plainFill(benchmark::State& state) {
    const display::Screen screen{state.range(0) / 100.0};
    platform::PictureSurface surface(screen.pictureWidth(), screen.pictureHeight());
    for (auto _ : state) {
        surface.setBackColor(display::Black);
        benchmark::DoNotOptimize(surface.image().constBits());
    }
}

BENCHMARK(fullRepaint)->Arg(100)->Arg(500)->Unit(benchmark::kMicrosecond);
BENCHMARK(plainFill)->Arg(100)->Arg(500)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
