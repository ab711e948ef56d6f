#pragma once

#include <QJsonObject>
#include <QJsonValue>

#include <optional>
#include <string>

#include "acquisition/ScopeState.h"

namespace tracebay::acquisition {

// The longest reason a kept mask test may give for not comparing.
constexpr qsizetype MaxMaskReasonLength = 512;

// A mask test as an upload's JSON keeps it under "Mask": {"source": "CH1", "pass": false,
// "outside": 3, "samples": 600, "first": {"time": 0.0012, "volts": 0.34}}, "first" null on a
// pass; one that could not compare says {"source": "CH1", "pass": null, "reason": "..."}.
QJsonObject maskVerdictObject(const MaskVerdict& verdict);
// Reads what maskVerdictObject wrote; nothing, with what is wrong in `error`, for anything else,
// including counts that contradict each other or the verdict.
std::optional<MaskVerdict> maskVerdictFrom(const QJsonValue& value, std::string& error);

}  // namespace tracebay::acquisition
