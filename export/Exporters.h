#pragma once

#include <QKeySequence>
#include <QString>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "export/PictureExport.h"

namespace tracebay::exporting {

// One file format an exporter writes.
struct Format {
    std::string name;    // "PNG image"
    std::string suffix;  // "png"
    std::string option;  // tracebay-cli's flag: "--png"
    // Writes the shown upload; "" when done, else what went wrong.
    std::function<std::string(const Shown&, QIODevice&)> write;
};

// One thing to save, offered as one menu entry with the formats it can be written in.
struct Exporter {
    std::string id;     // the menu entry's object name
    std::string title;  // "Save picture as..."
    // A standard key rather than a sequence: the sequence exists only once there is a desktop.
    QKeySequence::StandardKey shortcut;
    bool zoomed;  // drawn at a zoom chosen for the export
    std::vector<Format> formats;
    // Whether the upload holds what the exporter writes; none: every upload does.
    bool (*applies)(const acquisition::ScopeState&) = nullptr;

    bool appliesTo(const acquisition::ScopeState& slot) const { return !applies || applies(slot); }
};

// Every exporter, in menu order: the picture, the samples, the logic lines, the upload.
const std::vector<Exporter>& exporters();
// The exporter's format for a file suffix (in any case); nullptr when it writes none such.
const Format* formatForSuffix(const Exporter& exporter, const QString& suffix);
// The format tracebay-cli writes for `option`; nullptr for another option.
const Format* formatForOption(std::string_view option);

// Writes `shown` into `path` in `format`, whole or not at all; "" when done, else a message
// that names the file and the reason.
std::string exportTo(const Format& format, const Shown& shown, const QString& path);
// Makes the bytes of `shown` in `format`; "" when done, else what went wrong.
std::string exportBytes(const Format& format, const Shown& shown, QByteArray& bytes);
// The message of a file that could not be written.
std::string cannotSave(const QString& path, const std::string& why);

}  // namespace tracebay::exporting
