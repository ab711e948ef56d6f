#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace tracebay::platform {
namespace {

bool failed(const QFileDevice& file, std::string& error) {
    error = file.errorString().toStdString();
    return false;
}

#ifdef _WIN32
bool openInPlace(QFile& file, std::string& error) {
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || failed(file, error);
}
#else
// Opening a pipe waits for a reader, and opening a terminal line may wait for its carrier: the
// open must not hold up the program, so it fails at once instead. Once open, the bytes go out as
// to any pipe or device, at the pace of whoever takes them.
bool openInPlace(QFile& file, std::string& error) {
    const QByteArray name = QFile::encodeName(file.fileName());
    const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        struct stat status {};
        const bool pipe = ::stat(name.constData(), &status) == 0 && S_ISFIFO(status.st_mode);
        error = errno == ENXIO && pipe ? "no reader" : std::strerror(errno);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered,
                     QFileDevice::AutoCloseHandle) ||
           failed(file, error);
}
#endif

// A device or pipe cannot be replaced by a file (and must not be): its bytes go straight in.
bool writeInPlace(const QString& path, std::string_view bytes, std::string& error) {
    QFile file(path);
    if (!openInPlace(file, error)) return false;
    if (!writeWhole(file, bytes)) return failed(file, error);
    file.close();
    return file.error() == QFileDevice::NoError || failed(file, error);
}

}  // namespace

bool writeWhole(QIODevice& device, std::string_view bytes) {
    while (!bytes.empty()) {
        const qint64 written = device.write(bytes.data(), static_cast<qint64>(bytes.size()));
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
    const QString name = QString::fromStdString(path);
    const QFileInfo target(name);
    if (target.exists() && !target.isFile() && !target.isDir())
        return writeInPlace(name, bytes, error);
    // Unbuffered: a write that fails is seen at once (a buffer's failure when it is flushed on
    // commit would not keep the new file from replacing the old one).
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return failed(file, error);
    if (!writeWhole(file, bytes)) {
        error = file.errorString().toStdString();
        file.cancelWriting();
        return false;
    }
    return file.commit() || failed(file, error);
}

}  // namespace tracebay::platform
