#include "display/DecodeBand.h"

#include <QString>

#include <algorithm>
#include <array>

namespace tracebay::display {
namespace {

constexpr std::array<Rgb, 8> BoxColors{rgb(255, 128, 0),  rgb(0, 160, 255), rgb(255, 64, 160),
                                       rgb(160, 255, 64), rgb(255, 220, 0), rgb(160, 96, 255),
                                       rgb(0, 220, 180),  rgb(255, 96, 96)};
constexpr int TextInset = 2;

// The picture writes single-byte characters; the decoders' texts are UTF-8.
std::string pictureText(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))
        .toLatin1()
        .toStdString();
}

std::vector<std::string> pictureTexts(const std::vector<std::string>& texts) {
    std::vector<std::string> converted;
    for (const std::string& text : texts) converted.push_back(pictureText(text));
    return converted;
}

// A third of the colour's brightness: the inside of a box, under white text.
Rgb darkened(Rgb color) {
    const auto third = [color](int shift) { return ((color >> shift) & 0xFF) / 3; };
    return rgb(third(16), third(8), third(0));
}

// The longest of the texts that fits in `width` pixels.
const std::string* fitting(const platform::PictureSurface& surface,
                           const std::vector<std::string>& texts, double width) {
    for (const std::string& text : texts)
        if (surface.textWidth(text) <= width) return &text;
    return nullptr;
}

std::string clipped(const platform::PictureSurface& surface, std::string label, double width) {
    while (!label.empty() && surface.textWidth(label) > width) label.pop_back();
    return label;
}

class BandPainter {
public:
    BandPainter(platform::PictureSurface& surface, const Screen& screen, bool colorScheme)
        : surface_(surface), screen_(screen), color_(colorScheme) {}

    void row(const BandRow& row, double top) {
        surface_.setForeColor(color_ ? LightGrey : Black);
        surface_.textOut(TextInset, top,
                         clipped(surface_, pictureText(row.label), Screen::GridLeft - 3));
        for (const BandBox& box : row.boxes) this->box(box, top);
    }

private:
    void box(const BandBox& box, double top) {
        const double left =
            std::max(Screen::GridLeft + box.startColumn * screen_.s, Screen::GridLeft);
        const double right =
            std::min(Screen::GridLeft + box.endColumn * screen_.s, screen_.GridRight());
        if (right < left) return;
        const Rgb color =
            color_ ? BoxColors[static_cast<size_t>(box.colorIndex) % BoxColors.size()] : Black;
        const double height = Band::RowHeight - 2;
        if (right - left < 2) {
            surface_.setForeColor(color);
            surface_.line(left, top, left, top + height);
            return;
        }
        if (color_) {
            surface_.setForeColor(darkened(color));
            surface_.fillBox(left, top, right - left, height);
        }
        surface_.setForeColor(color);
        surface_.line(left, top, right, top);
        surface_.line(right, top, right, top + height);
        surface_.line(right, top + height, left, top + height);
        surface_.line(left, top + height, left, top);
        const std::vector<std::string> texts = pictureTexts(box.texts);
        if (const std::string* text = fitting(surface_, texts, right - left - 2 * TextInset)) {
            surface_.setForeColor(color_ ? White : Black);
            surface_.textOut(left + TextInset, top, *text);
        }
    }

    platform::PictureSurface& surface_;
    const Screen& screen_;
    const bool color_;
};

}  // namespace

void DrawBand(platform::PictureSurface& surface, const Screen& screen, const Band& band,
              bool colorScheme) {
    const double top = screen.pictureHeight();
    surface.setForeColor(screenBackground(colorScheme));
    surface.fillBox(0, top, surface.width(), band.height());
    surface.setBold(false);
    BandPainter painter(surface, screen, colorScheme);
    for (size_t r = 0; r < band.rows.size(); ++r)
        painter.row(band.rows[r], top + static_cast<double>(r) * Band::RowHeight + 1);
}

}  // namespace tracebay::display
