#include "mask/MaskFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QString>

#include <cmath>

#include "platform/AtomicFile.h"
#include "platform/EscapedText.h"
#include "platform/RegularFile.h"

namespace tracebay::mask {
namespace {

constexpr const char* Kind = "TraceBay mask";
constexpr int Version = 1;

// The shortest text that reads back as the same number: a sample time must meet its own.
std::string exact(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest).toStdString();
}

std::string tolerance(const char* unitKey, double divisions, double amount) {
    return "{\"divisions\": " + exact(divisions) + ", \"" + unitKey + "\": " + exact(amount) + "}";
}

std::optional<double> finite(const QJsonValue& value) {
    if (!value.isDouble() || !std::isfinite(value.toDouble())) return std::nullopt;
    return value.toDouble();
}

// An optional {"divisions": d, `unitKey`: amount}, both 0 or more.
bool readTolerance(const QJsonValue& value, const char* unitKey, double& divisions,
                   double& amount) {
    if (value.isUndefined()) return true;
    const auto d = finite(value["divisions"]);
    const auto a = finite(value[unitKey]);
    if (!value.isObject() || !d || !a || *d < 0 || *a < 0) return false;
    divisions = *d;
    amount = *a;
    return true;
}

std::optional<MaskPoint> pointFrom(const QJsonValue& value) {
    const QJsonArray triple = value.toArray();
    if (!value.isArray() || triple.size() != 3) return std::nullopt;
    const auto time = finite(triple[0]);
    const auto lower = finite(triple[1]);
    const auto upper = finite(triple[2]);
    if (!time || !lower || !upper || *lower > *upper) return std::nullopt;
    return MaskPoint{*time, *lower, *upper};
}

// "" when every point is [time, lower, upper] with lower <= upper, in ascending time.
std::string readPoints(const QJsonValue& value, std::vector<MaskPoint>& points) {
    const QJsonArray array = value.toArray();
    if (!value.isArray() || array.isEmpty() || array.size() > qsizetype{MaxMaskPoints})
        return "points is not an array of 1 to " + std::to_string(MaxMaskPoints) + " points";
    for (const QJsonValue& entry : array) {
        const auto point = pointFrom(entry);
        const std::string which = "point " + std::to_string(points.size() + 1);
        if (!point) return which + " is not [time, lower, upper] with lower <= upper";
        if (!points.empty() && !(point->time > points.back().time))
            return which + " is not later than the one before";
        points.push_back(*point);
    }
    return {};
}

// "" when the object is a mask of this version for a source and unit a mask may have.
std::string readHeader(const QJsonObject& object, Mask& mask) {
    if (object["kind"].toString() != Kind) return "not a TraceBay mask";
    if (object["version"].toInt() != Version)
        return "a mask of another version than " + std::to_string(Version);
    mask.source = object["source"].toString().toStdString();
    mask.unit = object["unit"].toString().toStdString();
    if (!comparableSource(mask.source)) return "source is not CH1, CH2 or MATH";
    if (mask.unit != "V" && mask.unit != "V^2") return "unit is not V or V^2";
    if (!readTolerance(object["tolerance"], "value", mask.toleranceDivisions, mask.tolerance) ||
        !readTolerance(object["time_tolerance"], "seconds", mask.timeToleranceDivisions,
                       mask.timeTolerance))
        return "a tolerance is not {\"divisions\": ..., ...} of numbers from 0 up";
    return {};
}

}  // namespace

std::string maskJson(const Mask& mask) {
    std::string json =
        "{\n  \"kind\": \"" + std::string(Kind) + "\",\n  \"version\": " + std::to_string(Version) +
        ",\n  \"source\": " + platform::jsonQuoted(mask.source) +
        ",\n  \"unit\": " + platform::jsonQuoted(mask.unit) +
        ",\n  \"tolerance\": " + tolerance("value", mask.toleranceDivisions, mask.tolerance) +
        ",\n  \"time_tolerance\": " +
        tolerance("seconds", mask.timeToleranceDivisions, mask.timeTolerance) +
        ",\n  \"points\": [";
    for (size_t i = 0; i < mask.points.size(); ++i) {
        const MaskPoint& p = mask.points[i];
        json += (i ? ",\n    [" : "\n    [") + exact(p.time) + ", " + exact(p.lower) + ", " +
                exact(p.upper) + "]";
    }
    return json + "\n  ]\n}\n";
}

std::optional<Mask> maskFromJson(const std::string& json, std::string& why) {
    QJsonParseError parseError;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromStdString(json), &parseError);
    if (!document.isObject()) {
        why = parseError.error == QJsonParseError::NoError
                  ? "not a JSON object"
                  : "not JSON: " + parseError.errorString().toStdString();
        return std::nullopt;
    }
    Mask mask;
    const QJsonObject object = document.object();
    why = readHeader(object, mask);
    if (why.empty()) why = readPoints(object["points"], mask.points);
    if (!why.empty()) return std::nullopt;
    return mask;
}

std::optional<Mask> readMaskFile(const std::string& path, std::string& why) {
    const auto text = platform::readRegularFile(path, MaxMaskFileBytes, why);
    if (!text) return std::nullopt;
    return maskFromJson(*text, why);
}

bool writeMaskFile(const std::string& path, const Mask& mask, std::string& why) {
    return platform::writeFileAtomically(path, maskJson(mask), why);
}

}  // namespace tracebay::mask
