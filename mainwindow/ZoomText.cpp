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

std::optional<int> zoomStep(const QStringList& factors, double scale, int direction) {
    std::optional<int> next;
    for (int i = 0; i < factors.size(); ++i) {
        const auto factor = zoomScale(factors[i]);
        if (!factor) continue;
        if (direction > 0 && *factor > scale + 1e-9 && !next) next = i;
        if (direction < 0 && *factor < scale - 1e-9) next = i;
    }
    return next;
}

}  // namespace tracebay::mainwindow
