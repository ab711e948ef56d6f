#include "mask/MaskReport.h"

#include "acquisition/NumberFormat.h"
#include "acquisition/QuantityText.h"

namespace tracebay::mask {
namespace {

using acquisition::decimalText;
using acquisition::quantityText;

std::string firstJson(const acquisition::MaskVerdict& verdict) {
    if (!verdict.first) return "null";
    return "{\"time\": " + decimalText(verdict.first->time) +
           ", \"volts\": " + decimalText(verdict.first->value) + "}";
}

}  // namespace

std::string verdictText(const acquisition::MaskVerdict& verdict, const std::string& unit) {
    const std::string samples = std::to_string(verdict.samples);
    if (verdict.passed())
        return verdict.source + ": pass, " + samples + " samples within the mask\n";
    std::string text = verdict.source + ": fail, " + std::to_string(verdict.outside) + " of " +
                       samples + " samples outside the mask";
    if (verdict.first)
        text += ", the first at " + quantityText(verdict.first->time, 0, "s", true) + ", " +
                quantityText(verdict.first->value, 0, unit, unit == "V");
    return text + "\n";
}

std::string verdictJson(const acquisition::MaskVerdict& verdict) {
    return "{\"pass\": " + std::string(verdict.passed() ? "true" : "false") +
           ", \"outside\": " + std::to_string(verdict.outside) +
           ", \"samples\": " + std::to_string(verdict.samples) +
           ", \"first\": " + firstJson(verdict) + ", \"source\": \"" + verdict.source + "\"}\n";
}

}  // namespace tracebay::mask
