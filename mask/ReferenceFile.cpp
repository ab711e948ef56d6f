#include "mask/ReferenceFile.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"

namespace tracebay::mask {
namespace {

constexpr const char* Kind = "TraceBay references";
constexpr int Version = 1;

QJsonObject referenceObject(const Reference& r) {
    QJsonArray samples;
    for (const TimedSample& s : r.samples) samples.append(QJsonArray{s.time, s.value, s.clipped});
    return {
        {"source", QString::fromStdString(r.source)},
        {"unit", QString::fromStdString(r.unit)},
        {"axis", QJsonObject{{"zero_column", r.axis.zeroColumn}, {"per_column", r.axis.perColumn}}},
        {"vertical",
         QJsonObject{{"ground_row", r.vertical.groundRow}, {"per_row", r.vertical.perRow}}},
        {"samples", samples}};
}

bool finite(const QJsonValue& value) { return value.isDouble() && std::isfinite(value.toDouble()); }

std::optional<TimedSample> sampleFrom(const QJsonValue& value) {
    const QJsonArray triple = value.toArray();
    if (triple.size() != 3 || !finite(triple[0]) || !finite(triple[1]) || !triple[2].isBool())
        return std::nullopt;
    return TimedSample{triple[0].toDouble(), triple[1].toDouble(), triple[2].toBool()};
}

// A positive step and a finite origin, as the screen's axes have.
bool readAxes(const QJsonObject& object, Reference& r) {
    const QJsonValue zero = object["axis"]["zero_column"], perColumn = object["axis"]["per_column"];
    const QJsonValue ground = object["vertical"]["ground_row"],
                     perRow = object["vertical"]["per_row"];
    if (!finite(zero) || !finite(perColumn) || !finite(ground) || !finite(perRow) ||
        !(perColumn.toDouble() > 0) || !(perRow.toDouble() > 0))
        return false;
    r.axis = {zero.toDouble(), perColumn.toDouble()};
    r.vertical = {ground.toDouble(), perRow.toDouble()};
    return true;
}

std::optional<Reference> storedReference(const QJsonValue& value) {
    const QJsonObject object = value.toObject();
    Reference r{object["source"].toString().toStdString(),
                object["unit"].toString().toStdString(),
                {},
                {},
                {}};
    const QJsonArray samples = object["samples"].toArray();
    if (!comparableSource(r.source) || (r.unit != "V" && r.unit != "V^2") || !readAxes(object, r) ||
        samples.isEmpty() || samples.size() > qsizetype{acquisition::ScopeState::SampleCount})
        return std::nullopt;
    // In ascending time, as a trace's samples come: what draws and checks a reference looks
    // its times up in order.
    for (const QJsonValue& entry : samples) {
        const auto sample = sampleFrom(entry);
        if (!sample || (!r.samples.empty() && !(sample->time > r.samples.back().time)))
            return std::nullopt;
        r.samples.push_back(*sample);
    }
    return r;
}

}  // namespace

std::string referencesJson(const std::vector<LabelledReference>& references) {
    QJsonObject object{{"kind", Kind}, {"version", Version}};
    for (const LabelledReference& r : references)
        object[QString::fromStdString(r.label)] = referenceObject(r.trace);
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

std::optional<std::vector<LabelledReference>> referencesFromJson(const std::string& json,
                                                                 std::string& why) {
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json));
    const QJsonObject object = document.object();
    if (object["kind"].toString() != Kind || object["version"].toInt() != Version) {
        why = "not TraceBay references of version " + std::to_string(Version);
        return std::nullopt;
    }
    std::vector<LabelledReference> references;
    for (const std::string& label : ReferenceLabels) {
        const QJsonValue value = object[QString::fromStdString(label)];
        if (value.isUndefined()) continue;
        const auto trace = storedReference(value);
        if (!trace) {
            why = label + " is not a reference";
            return std::nullopt;
        }
        references.push_back({label, *trace});
    }
    return references;
}

std::optional<std::vector<LabelledReference>> readReferencesFile(const std::string& path,
                                                                 std::string& why) {
    if (!QFileInfo::exists(QString::fromStdString(path))) return std::vector<LabelledReference>{};
    const auto text = platform::readRegularFile(path, MaxReferencesFileBytes, why);
    if (!text) return std::nullopt;
    return referencesFromJson(*text, why);
}

bool writeReferencesFile(const std::string& path, const std::vector<LabelledReference>& references,
                         std::string& why) {
    return platform::writeFileAtomically(path, referencesJson(references), why);
}

}  // namespace tracebay::mask
