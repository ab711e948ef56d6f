#include "mainwindow/ZoomText.h"

#include <algorithm>
#include <cmath>

#include "mainwindow/Layout.h"

namespace tracebay::mainwindow {

std::optional<double> parseZoomText(const QString& text, const QLocale& locale) {
    if (!text.endsWith('%')) return std::nullopt;
    const QString number = text.chopped(1).trimmed();
    bool ok = false;
    double value = QLocale::c().toDouble(number, &ok);
    if (!ok) value = locale.toDouble(number, &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<double> zoomScale(const QString& text) {
    const auto percent = parseZoomText(text);
    if (!percent) return std::nullopt;
    return std::clamp(*percent / 100, Layout::MinimumScale, Layout::MaximumScale);
}

QString zoomText(double scale) {
    return QString::number(static_cast<long long>(std::llround(scale * 100))) + '%';
}

}  // namespace tracebay::mainwindow
