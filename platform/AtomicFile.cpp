#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tracebay::platform {
namespace {

template <typename File>
bool writeAll(File& file, std::string_view bytes) {
    return file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
           static_cast<qint64>(bytes.size());
}

bool failed(const QFileDevice& file, std::string& error) {
    error = file.errorString().toStdString();
    return false;
}

// A device or pipe cannot be replaced by a file (and must not be): its bytes go straight in.
bool writeInPlace(const QString& path, std::string_view bytes, std::string& error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return failed(file, error);
    if (!writeAll(file, bytes)) return failed(file, error);
    file.close();
    return file.error() == QFileDevice::NoError || failed(file, error);
}

}  // namespace

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
    const QString name = QString::fromStdString(path);
    const QFileInfo target(name);
    if (target.exists() && !target.isFile() && !target.isDir())
        return writeInPlace(name, bytes, error);
    // Unbuffered: a write that fails is seen at once (a buffer's failure when it is flushed on
    // commit would not keep the new file from replacing the old one).
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return failed(file, error);
    if (!writeAll(file, bytes)) {
        error = file.errorString().toStdString();
        file.cancelWriting();
        return false;
    }
    return file.commit() || failed(file, error);
}

}  // namespace tracebay::platform
