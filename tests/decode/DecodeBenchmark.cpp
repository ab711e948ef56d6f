// Decoding one screen of each of the three buses, as each upload in the window is decoded: the
// library's thread reached from another, the stack set up, run over the frame and taken down.
// Goal: 50 ms a screen at most. Usage: build/tests/decode/decode_benchmark

#include <benchmark/benchmark.h>

#include "decode/Decoding.h"
#include "tests/decode/CraftedUploads.h"

namespace {

using namespace tracebay;
using namespace tracebay::decode::testing;

// Screens full of traffic: 5.7 ms of 6 from the message's start.
const acquisition::ScopeState Uart = uartOnD0("Hello", 9600);
const acquisition::ScopeState I2c =
    i2cOnD1AndD2(0x50, std::string("\x00\x54\x42\x61\x79\x21", 6), 10000);
const acquisition::ScopeState Spi = spiOnD3ToD5("TraceBay", 14000);

void decodeScreen(benchmark::State& state, const acquisition::ScopeState& upload,
                  const std::string& text) {
    std::string error;
    const std::vector<decode::StackSpec> stacks{*decode::parseStack(text, error)};
    size_t annotations = 0;
    for (auto _ : state) {
        const decode::Decoded decoded = decode::decodeUpload(upload, stacks);
        if (!decoded.problems().empty()) state.SkipWithError(decoded.problems().c_str());
        annotations = decoded.annotations.size();
    }
    state.counters["annotations"] = static_cast<double>(annotations);
}

BENCHMARK_CAPTURE(decodeScreen, uart, Uart, "uart:rx=D0:baudrate=9600")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decodeScreen, i2c, I2c, "i2c:scl=D1:sda=D2")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decodeScreen, i2c_eeprom, I2c, "i2c:scl=D1:sda=D2,eeprom24xx")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decodeScreen, spi, Spi, "spi:clk=D3:mosi=D4:cs=D5")
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
