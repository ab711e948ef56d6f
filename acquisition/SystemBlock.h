#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tracebay::acquisition {

// The instrument's 112-byte description of its screen, read through named fields (little
// endian, singles as IEEE floats). Every accessor stays inside the block.
class SystemBlock {
public:
    static constexpr size_t Size = 112;
    static constexpr int LogicLines = 16;

    std::array<uint8_t, Size> bytes{};

    int16_t ScreenStart() const { return int16(0); }
    int16_t ScreenEnd() const { return int16(2); }
    int16_t AltUpperStart() const { return int16(4); }
    int16_t AltUpperEnd() const { return int16(6); }
    int16_t AltLowerStart() const { return int16(8); }
    int16_t AltLowerEnd() const { return int16(10); }
    uint8_t Ch1Valid() const { return bytes[13]; }
    uint8_t Ch2Valid() const { return bytes[14]; }
    uint8_t MathValid() const { return bytes[15]; }
    uint8_t MathOperation() const { return bytes[16]; }
    int16_t MathOffsetRows() const { return int16(24); }
    float MathScale() const { return single(28); }
    uint8_t FftValid() const { return bytes[34]; }
    uint8_t FftLowerHalf() const { return bytes[35]; }
    uint8_t FftFullScreen() const { return bytes[37]; }
    uint8_t FftDbScale() const { return bytes[38]; }
    float FftScale() const { return single(40); }
    int16_t FftOffsetRows() const { return int16(52); }
    float FftHzPerDiv() const { return single(56); }
    int16_t FftSpanCode() const { return int16(60); }
    int16_t FftCentre() const { return int16(68); }
    uint8_t LaValid() const { return bytes[70]; }
    uint16_t LaLineMask() const { return static_cast<uint16_t>(int16(72)); }
    // The screen row of logic line `line`'s low level; 0 for a line that does not exist.
    int16_t LaLinePos(int line) const {
        return line >= 0 && line < LogicLines ? int16(74 + 2 * static_cast<size_t>(line)) : 0;
    }
    uint8_t LaSelectedLine() const { return bytes[106]; }
    uint8_t LaGroupHeightLow() const { return bytes[107]; }
    uint8_t LaGroupHeightHigh() const { return bytes[108]; }

private:
    int16_t int16(size_t at) const {
        return static_cast<int16_t>(bytes[at] | (bytes[at + 1] << 8));
    }
    float single(size_t at) const;
};

// The width of the FFT data in data columns for a span code; 500 for an unknown code.
int FftSpan(int spanCode);

}  // namespace tracebay::acquisition
