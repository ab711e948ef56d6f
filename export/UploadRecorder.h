#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

#include "export/PictureExport.h"
#include "platform/Folder.h"

namespace tracebay::exporting {

struct Format;

// What is written beside each recorded upload's JSON.
struct RecordChoice {
    bool png = false;  // the picture, as shown
    // The logic lines, for uploads that hold them on a time base the file can give.
    bool vcd = false;
    bool sr = false;
};

// A file the caller made for an upload, to go beside its JSON: "decoded.json" and its bytes.
struct BesideFile {
    std::string suffix;
    std::string bytes;
};

// Writes every upload it is given into one folder, named by when it was captured:
// "2026-12-07T14-03-22.512Z.json", and beside it the files chosen. An upload's files are
// written whole or not at all: when one of them fails, the others written for it go again. The
// folder is made (as mkdir -p does) and opened once, at the start: every file goes into that
// folder, whatever its path names later.
struct Format;

class UploadRecorder {
public:
    UploadRecorder(QString folder, RecordChoice choice);
    ~UploadRecorder();

    // Why the folder could not be made or opened, naming it; "" when it is open.
    const std::string& folderFailure() const { return folderFailure_; }
    // "" when the upload's files are written, `beside` among them, else a message that names
    // the file and why.
    std::string record(const Shown& shown, const std::vector<BesideFile>& beside = {});

    const QString& folder() const { return path_; }
    int recorded() const { return recorded_; }
    // The files the last record() wrote.
    const QStringList& lastFiles() const { return lastFiles_; }

private:
    // The name, before its suffix, for an upload captured at `captured`: one that no file of
    // the folder has yet, so that two uploads of the same millisecond both stay.
    QString freeStem(const std::string& captured) const;
    // The file `name` in the folder; "" when written, else why not.
    std::string write(const Format& format, const Shown& shown, const QString& name);
    void forgetLastFiles();

    QString path_;
    std::unique_ptr<platform::Folder> folder_;
    std::string folderFailure_;
    RecordChoice choice_;
    int recorded_ = 0;
    QStringList lastFiles_;
    QStringList lastNames_;
};

}  // namespace tracebay::exporting
