#include "export/UploadRecorder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <vector>

#include "acquisition/CaptureTime.h"
#include "export/Exporters.h"
#include "export/LogicFiles.h"

namespace tracebay::exporting {
namespace {

// The suffixes a stem is kept free in: every file a recording may write.
const QStringList RecordedSuffixes{"json", "png", "vcd", "sr", "decoded.json"};

}  // namespace

UploadRecorder::UploadRecorder(QString folder, RecordChoice choice)
    : folder_(std::move(folder)), choice_(choice) {}

QString UploadRecorder::freeStem(const std::string& captured) const {
    const QDir folder(folder_);
    const QString base = QString::fromStdString(
        captured.empty() ? std::string("upload") : acquisition::capturedFileStem(captured));
    const auto taken = [&](const QString& stem) {
        for (const QString& suffix : RecordedSuffixes)
            if (QFileInfo::exists(folder.filePath(stem + "." + suffix))) return true;
        return false;
    };
    QString stem = base;
    for (int n = 2; taken(stem); ++n) stem = base + "-" + QString::number(n);
    return stem;
}

std::string UploadRecorder::record(const Shown& shown, const std::vector<BesideFile>& beside) {
    lastFiles_.clear();
    std::vector<const char*> options{"--json"};
    if (choice_.png) options.push_back("--png");
    // The logic files go with the uploads whose lines they can hold.
    if (choice_.vcd && fitsValueChangeDump(shown.slot)) options.push_back("--vcd");
    if (choice_.sr && fitsSigrokSession(shown.slot)) options.push_back("--sr");
    const QString stem = QDir(folder_).filePath(freeStem(shown.slot.Captured));
    std::string failure;
    for (const char* option : options) {
        const Format* format = formatForOption(option);
        if (!write(*format, shown, stem + "." + QString::fromStdString(format->suffix), failure))
            return failure;
    }
    for (const BesideFile& file : beside) {
        const Format format{file.suffix, file.suffix, "", [&file](const Shown&, QIODevice& device) {
                                return writeBytes(file.bytes, {}, device);
                            }};
        if (!write(format, shown, stem + "." + QString::fromStdString(file.suffix), failure))
            return failure;
    }
    ++recorded_;
    return {};
}

// A failure takes back the files written for the upload before it.
bool UploadRecorder::write(const Format& format, const Shown& shown, const QString& path,
                           std::string& failure) {
    failure = exportTo(format, shown, path);
    if (failure.empty()) {
        lastFiles_ << path;
        return true;
    }
    for (const QString& written : lastFiles_) QFile::remove(written);
    lastFiles_.clear();
    return false;
}

}  // namespace tracebay::exporting
