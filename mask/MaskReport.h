#pragma once

#include <string>

#include "acquisition/ScopeState.h"

namespace tracebay::mask {

// A mask test as a line for people: "CH1: pass, 600 samples within the mask" or "CH1: fail, 3 of
// 600 samples outside the mask, the first at 1.20 ms, 340 mV", the first sample's value in the
// mask's `unit` ("V", or "V^2" for a product, which takes no prefix).
std::string verdictText(const acquisition::MaskVerdict& verdict, const std::string& unit);
// The same as a line of JSON: {"pass": false, "outside": 3, "samples": 600, "first": {"time":
// 0.0012, "volts": 0.34}, "source": "CH1"}, "first" null on a pass; ten significant digits.
std::string verdictJson(const acquisition::MaskVerdict& verdict);

}  // namespace tracebay::mask
