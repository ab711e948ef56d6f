#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>

namespace tracebay::platform {
namespace {

std::string sizeText(size_t bytes) {
    constexpr size_t MiB = 1024 * 1024;
    if (bytes >= MiB && bytes % MiB == 0) return std::to_string(bytes / MiB) + " MiB";
    return std::to_string(bytes) + " bytes";
}

std::nullopt_t refused(std::string& error, std::string why) {
    error = std::move(why);
    return std::nullopt;
}

}  // namespace

std::optional<std::string> readRegularFile(const std::string& path, size_t maxBytes,
                                           std::string& error) {
    const QString name = QString::fromStdString(path);
    const QFileInfo info(name);
    if (info.exists() && !info.isFile()) return refused(error, "not a regular file");
    const std::string tooLarge = "larger than " + sizeText(maxBytes);
    if (info.size() > static_cast<qint64>(maxBytes)) return refused(error, tooLarge);
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) return refused(error, file.errorString().toStdString());
    const QByteArray bytes = file.read(static_cast<qint64>(maxBytes) + 1);
    if (file.error() != QFileDevice::NoError)
        return refused(error, file.errorString().toStdString());
    if (bytes.size() > static_cast<qsizetype>(maxBytes)) return refused(error, tooLarge);
    return bytes.toStdString();
}

}  // namespace tracebay::platform
