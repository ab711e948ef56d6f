#include "acquisition/ScopeStateJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string_view>

#include "acquisition/MaskVerdictJson.h"

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
    v("Captured", s.Captured);
    v("Instrument", s.Instrument);
}

template <typename Visitor>
void visitIdentity(InstrumentIdentity& identity, Visitor&& v) {
    v("Maker", identity.Maker);
    v("Model", identity.Model);
    v("Firmware", identity.Firmware);
    v("Serial", identity.Serial);
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
    void operator()(const char* key, const InstrumentIdentity& identity) {
        QJsonObject fields;
        InstrumentIdentity copy = identity;
        visitIdentity(copy, Writer{fields});
        object[key] = fields;
    }
};

// A JSON number that is a whole number within 32 bits.
std::optional<int32_t> wholeNumber(const QJsonValue& value) {
    if (!value.isDouble()) return std::nullopt;
    const double number = value.toDouble();
    if (!(number >= std::numeric_limits<int32_t>::min() &&
          number <= std::numeric_limits<int32_t>::max()) ||
        number != std::trunc(number))
        return std::nullopt;
    return static_cast<int32_t>(number);
}

bool isLatin1(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}

bool isHex(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    });
}

// Every value must have its field's type; the first one that does not is named in `error`.
struct Reader {
    const QJsonObject& object;
    std::string& error;

    void refuse(const char* key, const std::string& why) {
        if (error.empty()) error = std::string(key) + " " + why;
    }

    void operator()(const char* key, bool& value) {
        if (!object.contains(key)) return;
        if (!object[key].isBool()) return refuse(key, "is not true or false");
        value = object[key].toBool();
    }
    void operator()(const char* key, int32_t& value) {
        if (!object.contains(key)) return;
        const auto number = wholeNumber(object[key]);
        if (!number) return refuse(key, "is not a whole number within 32 bits");
        value = *number;
    }
    void operator()(const char* key, std::string& value) {
        if (!object.contains(key)) return;
        const QJsonValue text = object[key];
        if (!text.isString()) return refuse(key, "is not a text");
        const QString chars = text.toString();
        if (chars.size() > static_cast<qsizetype>(MaxTextLength))
            return refuse(key, "is longer than " + std::to_string(MaxTextLength) + " characters");
        if (!isLatin1(chars)) return refuse(key, "holds characters the instrument does not use");
        value = chars.toLatin1().toStdString();
    }
    void operator()(const char* key, ScopeState::Samples& values) {
        if (!object.contains(key)) return;
        if (!object[key].isArray()) return refuse(key, "is not an array of samples");
        const QJsonArray array = object[key].toArray();
        if (array.isEmpty()) return;
        if (array.size() != static_cast<qsizetype>(ScopeState::SampleCount))
            return refuse(key, "holds " + std::to_string(array.size()) + " samples, not " +
                                   std::to_string(ScopeState::SampleCount));
        ScopeState::Samples samples;
        samples.reserve(ScopeState::SampleCount);
        for (const auto& v : array) {
            const auto number = wholeNumber(v);
            if (!number)
                return refuse(key, "sample " + std::to_string(samples.size()) +
                                       " is not a whole number within 32 bits");
            samples.push_back(*number);
        }
        values = std::move(samples);
    }
    void operator()(const char* key, SystemBlock& block) {
        if (!object.contains(key)) return;
        const QString hex = object[key].toString();
        if (!object[key].isString() || hex.size() != 2 * SystemBlock::Size || !isHex(hex))
            return refuse(key, "is not " + std::to_string(2 * SystemBlock::Size) + " hex digits");
        const QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
        std::copy(bytes.begin(), bytes.end(), block.bytes.begin());
    }
    // Its texts are checked as the others; a wrong one is named after the object.
    void operator()(const char* key, InstrumentIdentity& identity) {
        if (!object.contains(key)) return;
        if (!object[key].isObject()) return refuse(key, "is not an object");
        const QJsonObject fields = object[key].toObject();
        std::string wrong;
        InstrumentIdentity read;
        visitIdentity(read, Reader{fields, wrong});
        if (!wrong.empty()) return refuse(key, wrong);
        identity = std::move(read);
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
    if (state.Mask) object["Mask"] = maskVerdictObject(*state.Mask);
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

std::optional<ScopeState> fromJson(const std::string& json, std::string& error) {
    QJsonParseError parseError;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromStdString(json), &parseError);
    if (document.isArray()) {
        error = "not a JSON object but an array";
        return std::nullopt;
    }
    if (!document.isObject()) {
        error = "not a JSON object: " + parseError.errorString().toStdString();
        return std::nullopt;
    }
    ScopeState state;
    const QJsonObject object = document.object();
    error.clear();
    visitFields(state, Reader{object, error});
    if (error.empty()) readParts(object, state.Parts, error);
    if (error.empty() && object.contains("Mask"))
        state.Mask = maskVerdictFrom(object["Mask"], error);
    if (!error.empty()) return std::nullopt;
    return state;
}

}  // namespace tracebay::acquisition
