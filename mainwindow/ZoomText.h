#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

namespace tracebay::mainwindow {

// A zoom entry such as "150%" as a percentage: a number followed by a percent sign. The number
// may use a point or the decimal separator of `locale`, the desktop's unless another is given.
std::optional<double> parseZoomText(const QString& text, const QLocale& locale = QLocale::system());
// The scale a zoom entry asks for, kept within 1% and 1000% (a huge factor would ask for a
// picture of gigabytes); nothing when the text is no percentage.
std::optional<double> zoomScale(const QString& text);
// A scale as the zoom field shows it: 1.375 is "138%".
QString zoomText(double scale);
// The entry of `factors` next above `scale` (direction 1) or next below it (-1); nothing at
// either end.
std::optional<int> zoomStep(const QStringList& factors, double scale, int direction);

}  // namespace tracebay::mainwindow
