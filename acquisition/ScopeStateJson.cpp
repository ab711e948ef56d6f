#include "acquisition/ScopeStateJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>
#include <string_view>

namespace tracebay::acquisition {
namespace {

// One table of every field, used both ways.
template <typename Visitor>
void visitFields(ScopeState& s, Visitor&& v) {
    v("HasData", s.HasData);
    v("ViewApplied", s.ViewApplied);
    v("TriggerMode", s.TriggerMode);
    v("Ch1Samples", s.Ch1Samples);
    v("Ch2Samples", s.Ch2Samples);
    v("PointCount", s.PointCount);
    v("IsYT", s.IsYT);
    v("Ch1OffsetText", s.Ch1OffsetText);
    v("Ch2OffsetText", s.Ch2OffsetText);
    v("Ch1ScaleText", s.Ch1ScaleText);
    v("Ch2ScaleText", s.Ch2ScaleText);
    v("TimeScaleText", s.TimeScaleText);
    v("TimeOffsetText", s.TimeOffsetText);
    v("AltCh1TimeScaleText", s.AltCh1TimeScaleText);
    v("AltCh2TimeScaleText", s.AltCh2TimeScaleText);
    v("AltCh1TimeOffsetText", s.AltCh1TimeOffsetText);
    v("AltCh2TimeOffsetText", s.AltCh2TimeOffsetText);
    v("ColorDisplay", s.ColorDisplay);
    v("GridVisible", s.GridVisible);
    v("DualScreen", s.DualScreen);
    v("BestFit", s.BestFit);
    v("FftSamples", s.FftSamples);
    v("MathSamples", s.MathSamples);
    v("LaSamples", s.LaSamples);
    v("ShowCh1", s.ShowCh1);
    v("ShowCh2", s.ShowCh2);
    v("ShowMath", s.ShowMath);
    v("ShowLa", s.ShowLa);
    v("CapturedCh1", s.CapturedCh1);
    v("CapturedCh2", s.CapturedCh2);
    v("CapturedMath", s.CapturedMath);
    v("CapturedLa", s.CapturedLa);
    v("SystemBlock", s.SystemBlock);
    v("IsXY", s.IsXY);
    v("MathDisplay", s.MathDisplay);
    v("FftDisplay", s.FftDisplay);
}

// Instrument texts are single-byte characters.
QString text(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

struct Writer {
    QJsonObject& object;
    void operator()(const char* key, bool value) { object[key] = value; }
    void operator()(const char* key, int32_t value) { object[key] = value; }
    void operator()(const char* key, const std::string& value) { object[key] = text(value); }
    void operator()(const char* key, const ScopeState::Samples& values) {
        QJsonArray array;
        for (int32_t v : values) array.append(v);
        object[key] = array;
    }
    void operator()(const char* key, const SystemBlock& block) {
        const QByteArray bytes(reinterpret_cast<const char*>(block.bytes.data()),
                               SystemBlock::Size);
        object[key] = QString::fromLatin1(bytes.toHex());
    }
};

struct Reader {
    const QJsonObject& object;
    std::string& error;
    void operator()(const char* key, bool& value) {
        if (object.contains(key)) value = object[key].toBool(value);
    }
    void operator()(const char* key, int32_t& value) {
        if (object.contains(key)) value = object[key].toInt(value);
    }
    void operator()(const char* key, std::string& value) {
        if (object.contains(key)) value = object[key].toString().toLatin1().toStdString();
    }
    void operator()(const char* key, ScopeState::Samples& values) {
        const QJsonArray array = object[key].toArray();
        if (array.isEmpty()) return;
        if (array.size() != static_cast<qsizetype>(ScopeState::SampleCount)) {
            error = std::string(key) + " holds " + std::to_string(array.size()) + " samples, not " +
                    std::to_string(ScopeState::SampleCount);
            return;
        }
        values.clear();
        for (const auto& v : array) values.push_back(v.toInt());
    }
    void operator()(const char* key, SystemBlock& block) {
        if (!object.contains(key)) return;
        const QByteArray bytes = QByteArray::fromHex(object[key].toString().toLatin1());
        if (bytes.size() != static_cast<qsizetype>(SystemBlock::Size)) {
            error = std::string(key) + " is not " + std::to_string(SystemBlock::Size) + " bytes";
            return;
        }
        std::copy(bytes.begin(), bytes.end(), block.bytes.begin());
    }
};

// The parts of the upload: "Arrived" says for each whether it came, "Missing" why one did not.
// A document without them (saved before they were kept) has every trace drawn.
constexpr std::array<std::string_view, 6> PartOrder = {"SystemBlock", "CH1", "CH2",
                                                       "MATH",        "FFT", "LA"};

void writeParts(QJsonObject& object, const std::vector<UploadPart>& parts) {
    if (parts.empty()) return;
    QJsonObject arrived;
    QJsonObject missing;
    for (const UploadPart& part : parts) {
        arrived[text(part.name)] = part.arrived();
        if (!part.arrived()) missing[text(part.name)] = text(part.failure);
    }
    object["Arrived"] = arrived;
    object["Missing"] = missing;
}

void readParts(const QJsonObject& object, std::vector<UploadPart>& parts, std::string& error) {
    const QJsonValue arrived = object["Arrived"];
    const QJsonValue missing = object["Missing"];
    if (arrived.isUndefined() && missing.isUndefined()) return;
    if (!arrived.isObject() || !(missing.isUndefined() || missing.isObject())) {
        error = "Arrived and Missing are not objects";
        return;
    }
    for (const std::string_view name : PartOrder) {
        const QString key = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
        const QJsonValue came = arrived[key];
        const QJsonValue why = missing[key];
        if (came.isUndefined()) continue;
        // A part came (and has no reason), or did not and says why, or at least that it did not.
        const bool wellFormed =
            came.isBool() &&
            (came.toBool() ? why.isUndefined() : why.isUndefined() || why.isString());
        if (!wellFormed) {
            error = "Arrived and Missing of " + std::string(name) + " do not agree";
            return;
        }
        std::string failure;
        if (!came.toBool()) {
            failure = why.toString().toLatin1().toStdString();
            if (failure.empty()) failure = "no data";
        }
        parts.push_back({std::string(name), failure});
    }
}

}  // namespace

std::string toJson(const ScopeState& state) {
    QJsonObject object;
    ScopeState copy = state;
    visitFields(copy, Writer{object});
    writeParts(object, state.Parts);
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

std::optional<ScopeState> fromJson(const std::string& json, std::string& error) {
    QJsonParseError parseError;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromStdString(json), &parseError);
    if (!document.isObject()) {
        error = "not a JSON object: " + parseError.errorString().toStdString();
        return std::nullopt;
    }
    ScopeState state;
    const QJsonObject object = document.object();
    error.clear();
    visitFields(state, Reader{object, error});
    if (error.empty()) readParts(object, state.Parts, error);
    if (!error.empty()) return std::nullopt;
    return state;
}

}  // namespace tracebay::acquisition
