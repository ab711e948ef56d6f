#include "export/PictureExport.h"

#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSvgGenerator>

#include <algorithm>

#include "display/Repaint.h"
#include "export/VectorReplay.h"

namespace tracebay::exporting {
namespace {

constexpr const char* Title = "TraceBay picture";
// An SVG's pixels are the pixels of a screen; a PDF page is measured in whole points, so a
// picture pixel there is a point, and the page fits the picture exactly.
constexpr int SvgPixelsPerInch = 96;
constexpr int PdfPixelsPerInch = 72;

std::string replayed(const platform::PictureSurface& picture, QPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) return "the drawing could not be started";
    replay(picture, painter);
    return painter.end() ? "" : "the drawing could not be finished";
}

}  // namespace

std::unique_ptr<platform::PictureSurface> drawPicture(const Shown& shown, bool record) {
    const display::Screen screen{shown.scale};
    const int band = shown.band ? shown.band->height() : 0;
    auto picture = std::make_unique<platform::PictureSurface>(screen.pictureWidth(),
                                                              screen.pictureHeight() + band);
    picture->setRecording(record);
    // The repaint keeps the cursors on the grid; the caller's stay as they are.
    display::Cursors cursors = shown.cursors;
    display::CursorOverlay overlay;
    display::Repaint(*picture, screen, shown.slot, cursors, overlay, shown.over);
    if (shown.band) display::DrawBand(*picture, screen, *shown.band, shown.slot.ColorDisplay);
    return picture;
}

std::string writePng(const Shown& shown, QIODevice& device) {
    const auto picture = drawPicture(shown, false);
    return picture->image().save(&device, "PNG") ? "" : "the PNG image could not be written";
}

std::string writeSvg(const Shown& shown, QIODevice& device) {
    const auto picture = drawPicture(shown, true);
    const QSize size(picture->width(), picture->height());
    QSvgGenerator svg;
    svg.setOutputDevice(&device);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setResolution(SvgPixelsPerInch);
    svg.setTitle(Title);
    return replayed(*picture, svg);
}

std::string writePdf(const Shown& shown, QIODevice& device) {
    const auto picture = drawPicture(shown, true);
    QPdfWriter pdf(&device);
    pdf.setTitle(Title);
    pdf.setCreator("TraceBay");
    pdf.setResolution(PdfPixelsPerInch);
    const QSize page(picture->width(), picture->height());
    pdf.setPageLayout(QPageLayout(QPageSize(page, Title, QPageSize::ExactMatch),
                                  QPageLayout::Portrait, QMarginsF()));
    return replayed(*picture, pdf);
}

bool printPicture(const Shown& shown, QPrinter& printer) {
    const auto picture = drawPicture(shown, true);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRect page = painter.viewport();
    const double fit = std::min(page.width() / static_cast<double>(picture->width()),
                                page.height() / static_cast<double>(picture->height()));
    painter.translate(page.x() + (page.width() - picture->width() * fit) / 2,
                      page.y() + (page.height() - picture->height() * fit) / 2);
    painter.scale(fit, fit);
    replay(*picture, painter);
    return painter.end();
}

std::string writeBytes(const std::optional<std::string>& bytes, const std::string& error,
                       QIODevice& device) {
    if (!bytes) return error;
    const auto size = static_cast<qint64>(bytes->size());
    return device.write(bytes->data(), size) == size ? "" : device.errorString().toStdString();
}

}  // namespace tracebay::exporting
