#include "acquisition/MaskVerdictJson.h"

#include <cmath>
#include <limits>

#include "acquisition/ScopeStateJson.h"

namespace tracebay::acquisition {
namespace {

QJsonValue firstSample(const std::optional<MaskVerdict::Sample>& first) {
    if (!first) return QJsonValue::Null;
    return QJsonObject{{"time", first->time}, {"volts", first->value}};
}

std::optional<int32_t> count(const QJsonValue& value) {
    if (!value.isDouble()) return std::nullopt;
    const double number = value.toDouble();
    if (!(number >= 0 && number <= std::numeric_limits<int32_t>::max()) ||
        number != std::trunc(number))
        return std::nullopt;
    return static_cast<int32_t>(number);
}

bool readFirst(const QJsonValue& value, MaskVerdict& verdict) {
    if (value.isNull()) return verdict.outside == 0;
    const QJsonValue time = value["time"];
    const QJsonValue volts = value["volts"];
    if (!value.isObject() || !time.isDouble() || !volts.isDouble() || verdict.outside == 0)
        return false;
    verdict.first = MaskVerdict::Sample{time.toDouble(), volts.toDouble()};
    return true;
}

// The counts of a test that compared: as many outside as "pass" says, and a first sample
// exactly when there is one.
bool readCounts(const QJsonObject& object, MaskVerdict& verdict) {
    const auto samples = count(object["samples"]);
    const auto outside = count(object["outside"]);
    if (!samples || !outside || *outside > *samples) return false;
    verdict.samples = *samples;
    verdict.outside = *outside;
    return object["pass"].toBool() == (*outside == 0) && readFirst(object["first"], verdict);
}

bool readReason(const QJsonValue& value, MaskVerdict& verdict) {
    const QString reason = value.toString();
    if (!value.isString() || reason.isEmpty() || reason.size() > MaxMaskReasonLength) return false;
    verdict.reason = reason.toStdString();
    return true;
}

}  // namespace

QJsonObject maskVerdictObject(const MaskVerdict& verdict) {
    QJsonObject object{{"source", QString::fromStdString(verdict.source)}};
    if (!verdict.checked()) {
        object["pass"] = QJsonValue::Null;
        object["reason"] = QString::fromStdString(verdict.reason);
        return object;
    }
    object["pass"] = verdict.passed();
    object["outside"] = verdict.outside;
    object["samples"] = verdict.samples;
    object["first"] = firstSample(verdict.first);
    return object;
}

std::optional<MaskVerdict> maskVerdictFrom(const QJsonValue& value, std::string& error) {
    const QJsonObject object = value.toObject();
    const QString source = object["source"].toString();
    MaskVerdict verdict;
    verdict.source = source.toStdString();
    const bool sourceNamed = object["source"].isString() && !source.isEmpty() &&
                             source.size() <= static_cast<qsizetype>(MaxTextLength);
    const QJsonValue pass = object["pass"];
    const bool read = value.isObject() && sourceNamed &&
                      (pass.isNull() ? readReason(object["reason"], verdict)
                                     : pass.isBool() && readCounts(object, verdict));
    if (read) return verdict;
    error = "Mask is not a mask test's outcome";
    return std::nullopt;
}

}  // namespace tracebay::acquisition
