#include "mainwindow/WindowTitle.h"

#include <QDateTime>

namespace tracebay::mainwindow {

QString titleOf(const TitleFacts& facts) {
    QString title = QStringLiteral("TraceBay");
    if (!facts.file.isEmpty()) {
        title += " - " + facts.file;
    } else if (!facts.captured.empty()) {
        const QDateTime captured =
            QDateTime::fromString(QString::fromStdString(facts.captured), Qt::ISODateWithMs);
        QString what =
            QString::fromLatin1(facts.model.data(), static_cast<qsizetype>(facts.model.size()));
        if (captured.isValid())
            what += (what.isEmpty() ? "" : " ") + captured.toLocalTime().toString("HH:mm:ss");
        if (!what.isEmpty()) title += " - " + what;
    }
    if (!facts.place.isEmpty()) title += " - " + facts.place;
    if (facts.live) title += " - live";
    if (facts.recording) title += " - recording";
    if (!facts.maskCounts.isEmpty()) title += " - " + facts.maskCounts;
    return title;
}

}  // namespace tracebay::mainwindow
