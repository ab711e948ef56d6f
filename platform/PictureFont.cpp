#include "platform/PictureFont.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <algorithm>

namespace tracebay::platform {
namespace {

constexpr int LargestPixelSize = 11;
constexpr int SmallestPixelSize = 8;

int widestDigit(const QFontMetrics& metrics) {
    int widest = 0;
    for (char digit = '0'; digit <= '9'; ++digit)
        widest = std::max(widest, metrics.horizontalAdvance(QLatin1Char(digit)));
    return widest;
}

bool keepsToTheLimits(QFont font) {
    for (const bool bold : {false, true}) {
        font.setBold(bold);
        const QFontMetrics metrics(font);
        if (metrics.height() > PictureFontLimits::LineHeight ||
            metrics.averageCharWidth() > PictureFontLimits::AverageWidth ||
            widestDigit(metrics) > PictureFontLimits::DigitWidth)
            return false;
    }
    return true;
}

// A face that is not installed comes back as some other face.
bool installed(const QFont& font, const QString& face) {
    return QFontInfo(font).family().compare(face, Qt::CaseInsensitive) == 0;
}

QFont sized(QFont font, int pixelSize) {
    font.setPixelSize(pixelSize);
    return font;
}

QFont face(const QString& family) {
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace

QFont choosePictureFont(const QStringList& faces) {
    for (const QString& family : faces) {
        const QFont font = face(family);
        if (!installed(font, family)) continue;
        for (int size = LargestPixelSize; size >= SmallestPixelSize; --size)
            if (keepsToTheLimits(sized(font, size))) return sized(font, size);
    }
    const QFont sansSerif = face(QStringLiteral("Sans Serif"));
    for (int size = LargestPixelSize; size >= SmallestPixelSize; --size)
        if (keepsToTheLimits(sized(sansSerif, size))) return sized(sansSerif, size);
    return sized(sansSerif, SmallestPixelSize);
}

QFont pictureFont(bool bold) {
    static const QFont chosen =
        choosePictureFont({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
    QFont font = chosen;
    font.setBold(bold);
    return font;
}

}  // namespace tracebay::platform
