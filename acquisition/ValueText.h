#pragma once

#include <string>
#include <string_view>

namespace tracebay::acquisition {

// Instrument numbers ("5.000e-01") as display texts with an engineering unit ("500mV"), and
// display texts read back as numbers. The decimal point is always ".".

std::string VoltToText(std::string_view numberText);
std::string TimeToText(std::string_view numberText);
std::string FreqToText(std::string_view numberText);
std::string DbToText(std::string_view numberText);

// The characters before the first line feed; the whole text if there is none.
std::string TrimAtLineFeed(std::string_view text);

// A display text read back; `ParsedValueValid` tells whether it gave a number (the value is 0
// when it did not).
struct ParsedValue {
    double value = 0;
    bool ParsedValueValid = false;
};

ParsedValue ParseSmallVoltText(std::string_view text);  // "V" with p, n, u, m
ParsedValue ParseTimeText(std::string_view text);       // "s" with p, n, u, m
ParsedValue ParseVoltText(std::string_view text);       // "V" with u, m, k, M

// The cursor readout's converters. Those taking a reference leave the scaled value in it.
std::string ConvertVoltToStr(double volts);
std::string ConvertTimeToStr(double& seconds);
std::string ConvertFreqToStr(double& hertz);
// As ParseTimeText, but with no check for out-of-range marks and no line-feed trimming.
double GetTimeVlu(std::string_view text);

// A number as a plain decimal text, for single-precision fields of the system block.
std::string singleText(float value);

}  // namespace tracebay::acquisition
