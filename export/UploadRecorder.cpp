#include "export/UploadRecorder.h"

#include <QDir>

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
    : path_(std::move(folder)), choice_(choice) {
    std::string why;
    folder_ = platform::Folder::make(path_.toStdString(), why);
    if (!folder_)
        folderFailure_ = "Cannot make the folder \"" +
                         QDir::toNativeSeparators(path_).toStdString() + "\": " + why;
}

UploadRecorder::~UploadRecorder() = default;

QString UploadRecorder::freeStem(const std::string& captured) const {
    const QString base = QString::fromStdString(
        captured.empty() ? std::string("upload") : acquisition::capturedFileStem(captured));
    const auto taken = [&](const QString& stem) {
        for (const QString& suffix : RecordedSuffixes)
            if (folder_->contains((stem + "." + suffix).toStdString())) return true;
        return false;
    };
    QString stem = base;
    for (int n = 2; taken(stem); ++n) stem = base + "-" + QString::number(n);
    return stem;
}

std::string UploadRecorder::record(const Shown& shown, const std::vector<BesideFile>& beside) {
    lastFiles_.clear();
    lastNames_.clear();
    if (!folder_) return folderFailure_;
    std::vector<const char*> options{"--json"};
    if (choice_.png) options.push_back("--png");
    // The logic files go with the uploads whose lines they can hold.
    if (choice_.vcd && fitsValueChangeDump(shown.slot)) options.push_back("--vcd");
    if (choice_.sr && fitsSigrokSession(shown.slot)) options.push_back("--sr");
    const QString stem = freeStem(shown.slot.Captured);
    const auto writeFile = [&](const Format& format) {
        std::string failure =
            write(format, shown, stem + "." + QString::fromStdString(format.suffix));
        if (!failure.empty()) forgetLastFiles();
        return failure;
    };
    for (const char* option : options)
        if (std::string failure = writeFile(*formatForOption(option)); !failure.empty())
            return failure;
    for (const BesideFile& file : beside) {
        const Format format{file.suffix, file.suffix, "", [&file](const Shown&, QIODevice& device) {
                                return writeBytes(file.bytes, {}, device);
                            }};
        if (std::string failure = writeFile(format); !failure.empty()) return failure;
    }
    ++recorded_;
    return {};
}

std::string UploadRecorder::write(const Format& format, const Shown& shown, const QString& name) {
    const QString path = QDir(path_).filePath(name);
    QByteArray bytes;
    std::string failure = exportBytes(format, shown, bytes);
    if (failure.empty())
        folder_->write(name.toStdString(), std::string_view(bytes.constData(), bytes.size()),
                       failure);
    if (!failure.empty()) return cannotSave(path, failure);
    lastFiles_ << path;
    lastNames_ << name;
    return {};
}

// An upload's files go together or not at all.
void UploadRecorder::forgetLastFiles() {
    for (const QString& name : lastNames_) folder_->remove(name.toStdString());
    lastFiles_.clear();
    lastNames_.clear();
}

}  // namespace tracebay::exporting
