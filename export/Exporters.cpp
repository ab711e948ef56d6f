#include "export/Exporters.h"

#include <QBuffer>
#include <QDir>
#include <QIODevice>

#include "acquisition/ScopeStateJson.h"
#include "export/LogicFiles.h"
#include "export/LogicRecord.h"
#include "export/SampleTable.h"
#include "platform/AtomicFile.h"

namespace tracebay::exporting {
namespace {

std::string writeUpload(const Shown& shown, QIODevice& device) {
    if (!shown.slot.HasData) return "nothing has been uploaded";
    return writeBytes(acquisition::toJson(shown.slot), {}, device);
}

}  // namespace

const std::vector<Exporter>& exporters() {
    static const std::vector<Exporter> all{
        {"SavePicture",
         "Save picture as...",
         QKeySequence::Save,
         true,
         {{"PNG image", "png", "--png", writePng},
          {"SVG drawing", "svg", "--svg", writeSvg},
          {"PDF document", "pdf", "--pdf", writePdf}}},
        {"ExportSamples",
         "Export samples as CSV...",
         QKeySequence::UnknownKey,
         false,
         {{"CSV table", "csv", "--csv", writeCsv}}},
        {"ExportLogicVcd",
         "Export logic lines as VCD…",
         QKeySequence::UnknownKey,
         false,
         {{"Value change dump", "vcd", "--vcd", writeVcd}},
         holdsLogicLines},
        {"ExportLogicSigrok",
         "Export logic lines as sigrok session…",
         QKeySequence::UnknownKey,
         false,
         {{"sigrok session", "sr", "--sr", writeSigrokSession}},
         holdsLogicLines},
        {"SaveUpload",
         "Save upload as...",
         QKeySequence::UnknownKey,
         false,
         {{"TraceBay upload", "json", "--json", writeUpload}}},
    };
    return all;
}

const Format* formatForSuffix(const Exporter& exporter, const QString& suffix) {
    for (const Format& format : exporter.formats)
        if (suffix.compare(QString::fromStdString(format.suffix), Qt::CaseInsensitive) == 0)
            return &format;
    return nullptr;
}

const Format* formatForOption(std::string_view option) {
    for (const Exporter& exporter : exporters())
        for (const Format& format : exporter.formats)
            if (format.option == option) return &format;
    return nullptr;
}

std::string exportBytes(const Format& format, const Shown& shown, QByteArray& bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return format.write(shown, buffer);
}

std::string cannotSave(const QString& path, const std::string& why) {
    return "Cannot save \"" + QDir::toNativeSeparators(path).toStdString() + "\": " + why;
}

// The export is made in memory, then written whole or not at all.
std::string exportTo(const Format& format, const Shown& shown, const QString& path) {
    QByteArray bytes;
    std::string failure = exportBytes(format, shown, bytes);
    if (failure.empty())
        platform::writeFileAtomically(path.toStdString(),
                                      std::string_view(bytes.constData(), bytes.size()), failure);
    return failure.empty() ? std::string() : cannotSave(path, failure);
}

}  // namespace tracebay::exporting
