#include "platform/SettingsStore.h"

#include <QDir>
#include <QSaveFile>
#include <QSettings>

#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>

#include "platform/AtomicFile.h"

namespace tracebay::platform {
namespace {

QString settingPath(const SettingKey& key) {
    return QString::fromUtf8(key.section.data(), static_cast<qsizetype>(key.section.size())) + '/' +
           QString::fromUtf8(key.name.data(), static_cast<qsizetype>(key.name.size()));
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::optional<double> settingToNumber(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The store says only that it could not write the file; a trial write beside it says why (a
// folder that may not be written, a full disk).
std::string whyNotWritable(const QString& file) {
    QSaveFile trial(file);
    const bool written = trial.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                         writeWhole(trial, std::string(4096, '\n'));
    const std::string why = trial.errorString().toStdString();
    trial.cancelWriting();
    return written ? "it could not be written" : why;
}

}  // namespace

std::string SettingsStore::read(const SettingKey& key) const {
    const QVariant value = settings_.value(settingPath(key));
    if (!value.isValid()) return std::string(key.defaultValue);
    // A value edited by hand with a comma in it reads as a list: it is taken as the text it was.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", ")).toStdString();
    return value.toString().toStdString();
}

void SettingsStore::write(const SettingKey& key, const std::string& value) {
    settings_.setValue(settingPath(key), QString::fromStdString(value));
}

std::string SettingsStore::sync() {
    settings_.sync();
    switch (settings_.status()) {
        case QSettings::NoError: return {};
        case QSettings::FormatError: return "it holds something that is not settings";
        case QSettings::AccessError: break;
    }
    return whyNotWritable(settings_.fileName());
}

std::string SettingsStore::fileName() const {
    return QDir::toNativeSeparators(settings_.fileName()).toStdString();
}

std::optional<int32_t> settingToInt(std::string_view text) {
    const auto number = settingToNumber(text);
    if (!number) return std::nullopt;
    const double rounded = std::nearbyint(*number);
    if (rounded < INT32_MIN || rounded > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(rounded);
}

std::optional<bool> settingToBool(std::string_view text) {
    const std::string_view word = trimmed(text);
    if (equalsIgnoringCase(word, "True")) return true;
    if (equalsIgnoringCase(word, "False")) return false;
    const auto number = settingToNumber(word);
    if (!number) return std::nullopt;
    return *number != 0;
}

}  // namespace tracebay::platform
