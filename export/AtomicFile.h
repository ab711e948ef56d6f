#pragma once

#include <QSaveFile>
#include <QString>

#include <functional>
#include <string>

namespace tracebay::exporting {

// Writes a file whole or not at all: into a temporary file in the target's folder, renamed over
// the target only once everything is written. A failed or refused write leaves whatever was
// there before. Returns the reason it failed, or "" when the file is written.
inline std::string writeAtomically(const QString& path,
                                   const std::function<std::string(QIODevice&)>& write) {
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString().toStdString();
    const std::string failure = write(file);
    if (!failure.empty()) {
        file.cancelWriting();
        return failure;
    }
    if (!file.commit()) return file.errorString().toStdString();
    return {};
}

}  // namespace tracebay::exporting
