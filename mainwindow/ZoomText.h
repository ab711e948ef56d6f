#pragma once

#include <QString>

#include <optional>

namespace tracebay::mainwindow {

// A zoom entry such as "150%" as a percentage: a number followed by a percent sign. The number
// may use a point or the desktop's decimal separator.
std::optional<double> parseZoomText(const QString& text);
// A scale as the zoom field shows it: 1.375 is "138%".
QString zoomText(double scale);

}  // namespace tracebay::mainwindow
