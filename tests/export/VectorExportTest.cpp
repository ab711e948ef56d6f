#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "export/PictureExport.h"
#include "tests/display/SlotBuilder.h"

namespace tracebay::exporting {
namespace {

using platform::PictureSurface;

// A line as a vector file holds it: its ends, and its colour where the file says.
struct VectorLine {
    QPointF p1;
    QPointF p2;
    QColor color;
    double width = 0;
};

std::vector<VectorLine> svgLines(const QByteArray& svg, std::vector<std::string>& texts) {
    std::vector<VectorLine> lines;
    std::vector<std::pair<QColor, double>> pens;  // of the enclosing groups
    QXmlStreamReader xml(svg);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == u"g") pens.pop_back();
        if (!xml.isStartElement()) continue;
        const auto attributes = xml.attributes();
        if (xml.name() == u"g")
            pens.emplace_back(QColor(attributes.value("stroke")),
                              attributes.value("stroke-width").toDouble());
        if (xml.name() == u"polyline") {
            const auto points = attributes.value("points").trimmed().split(u' ');
            const auto point = [](QStringView text) {
                const auto xy = text.split(u',');
                return QPointF(xy[0].toDouble(), xy[1].toDouble());
            };
            lines.push_back({point(points.front()), point(points.back()), pens.back().first,
                             pens.back().second});
        }
        if (xml.name() == u"text") texts.push_back(xml.readElementText().toStdString());
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return lines;
}

QByteArray inflated(const char* data, qsizetype size) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return {};
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    z.avail_in = static_cast<uInt>(size);
    QByteArray out;
    char chunk[65536];
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(chunk);
        z.avail_out = sizeof chunk;
        status = inflate(&z, Z_NO_FLUSH);
        out.append(chunk, static_cast<qsizetype>(sizeof chunk - z.avail_out));
    }
    inflateEnd(&z);
    return status == Z_STREAM_END ? out : QByteArray();
}

// Every compressed stream of a PDF, inflated.
std::vector<QByteArray> pdfStreams(const QByteArray& pdf) {
    std::vector<QByteArray> streams;
    for (qsizetype at = pdf.indexOf("stream\n"); at >= 0; at = pdf.indexOf("stream\n", at)) {
        const qsizetype begin = at + 7;
        at = pdf.indexOf("endstream", begin);
        if (at < 0) break;
        streams.push_back(inflated(pdf.constData() + begin, at - begin));
    }
    return streams;
}

// The stroked single segments of a PDF's pages ("x y m x y l S").
std::vector<VectorLine> pdfLines(const QByteArray& pdf) {
    static const QRegularExpression stroke(
        R"((-?[\d.]+) (-?[\d.]+) m\n(-?[\d.]+) (-?[\d.]+) l\nS\n)");
    std::vector<VectorLine> lines;
    for (const QByteArray& stream : pdfStreams(pdf))
        for (const auto& m : stroke.globalMatch(QString::fromLatin1(stream)))
            lines.push_back({{m.captured(1).toDouble(), m.captured(2).toDouble()},
                             {m.captured(3).toDouble(), m.captured(4).toDouble()},
                             {},
                             0});
    return lines;
}

// The recorded lines that draw something: a thin line from a point to itself does not.
std::vector<PictureSurface::Line> drawnLines(const PictureSurface& recorded) {
    std::vector<PictureSurface::Line> drawn;
    for (const auto& line : recorded.lines())
        if (line.width > 1 || line.x1 != line.x2 || line.y1 != line.y2) drawn.push_back(line);
    return drawn;
}

// The pixel a vector end lies in is the recorded end.
void expectSameEnds(const std::vector<VectorLine>& lines, const PictureSurface& recorded) {
    const auto expected = drawnLines(recorded);
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto& r = expected[i];
        const auto& v = lines[i];
        EXPECT_EQ(QPoint(std::floor(v.p1.x()), std::floor(v.p1.y())), QPoint(r.x1, r.y1)) << i;
        EXPECT_EQ(QPoint(std::floor(v.p2.x()), std::floor(v.p2.y())), QPoint(r.x2, r.y2)) << i;
    }
}

class VectorExport : public ::testing::Test {
protected:
    VectorExport() {
        auto& slot = build.slot;
        slot.CapturedCh1 = true;
        slot.Ch1ScaleText = "1.00V";
        slot.Ch1OffsetText = "0.00uV";
        slot.Ch1Samples = display::SlotBuilder::samples(0);
        for (size_t i = 0; i < slot.Ch1Samples.size(); ++i)
            slot.Ch1Samples[i] = static_cast<int32_t>(100 + 80 * std::sin(i / 20.0));
        slot.CapturedLa = true;
        slot.LaSamples = display::SlotBuilder::samples(0);
        for (size_t i = 0; i < slot.LaSamples.size(); ++i)
            slot.LaSamples[i] = static_cast<int32_t>(i / 40 % 2 ? 0xFF : 0);
        build.byte(13, 1).byte(70, 1).int16(72, 0x0003).byte(106, 1).byte(107, 11);
        build.int16(74, 60).int16(76, 90);
        cursors.TimeCursorsOn = true;  // dotted lines and their readout
    }
    Shown shown() { return {build.slot, cursors, 1.5}; }
    QByteArray written(std::string (*write)(const Shown&, QIODevice&)) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        EXPECT_EQ(write(shown(), buffer), "");
        return buffer.data();
    }

    display::SlotBuilder build;
    display::Cursors cursors;
};

TEST_F(VectorExport, SvgHoldsEveryRecordedLineTextAndColour) {
    const auto recorded = drawPicture(shown(), true);
    std::vector<std::string> texts;
    const auto lines = svgLines(written(writeSvg), texts);
    expectSameEnds(lines, *recorded);
    const auto expected = drawnLines(*recorded);
    for (size_t i = 0; i < std::min(lines.size(), expected.size()); ++i) {
        EXPECT_EQ(lines[i].color.rgb() & 0xFFFFFF, expected[i].color) << i;
        EXPECT_EQ(lines[i].width, expected[i].width) << i;
    }
    std::vector<std::string> recordedTexts;
    for (const auto& t : recorded->texts()) recordedTexts.push_back(t.text);
    EXPECT_EQ(texts, recordedTexts);
    EXPECT_GT(recorded->lines().size(), 600u) << "the trace and the logic lines are there";
}

TEST_F(VectorExport, SvgDrawnAtItsSizeLooksLikeThePicture) {
    const QByteArray svg = written(writeSvg);
    const auto picture = drawPicture(shown(), false);
    QSvgRenderer renderer(svg);
    ASSERT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.viewBox(), QRect(0, 0, picture->width(), picture->height()));
    QImage drawn(picture->width(), picture->height(), QImage::Format_RGB32);
    QPainter painter(&drawn);
    renderer.render(&painter);
    painter.end();
    // The same pixels carry ink; the renderer's antialiasing adds a little along the edges.
    const QRgb background = picture->image().pixel(0, 0);
    int inked = 0, drawnInked = 0, both = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x) {
            const bool a = picture->image().pixel(x, y) != background;
            const bool b = drawn.pixel(x, y) != background;
            inked += a;
            drawnInked += b;
            both += a && b;
        }
    EXPECT_GT(inked, 5000);
    EXPECT_GT(both, inked * 95 / 100);
    EXPECT_LT(drawnInked, inked * 5 / 4);
}

TEST_F(VectorExport, PdfIsOnePageOfThePicturesSizeHoldingEveryRecordedLine) {
    const QByteArray pdf = written(writePdf);
    ASSERT_TRUE(pdf.startsWith("%PDF-"));
    const auto recorded = drawPicture(shown(), true);
    expectSameEnds(pdfLines(pdf), *recorded);
    EXPECT_EQ(pdf.count("/Type /Page\n"), 1);
    // One picture pixel to a point.
    const auto box = QRegularExpression(R"(/MediaBox \[0 0 ([\d.]+) ([\d.]+)\])")
                         .match(QString::fromLatin1(pdf));
    ASSERT_TRUE(box.hasMatch());
    EXPECT_EQ(box.captured(1).toDouble(), recorded->width());
    EXPECT_EQ(box.captured(2).toDouble(), recorded->height());
    // The lines are drawn on the page as given: unscaled, y from the top.
    const auto transform =
        QRegularExpression(R"([-\d. ]+ cm)").match(QString::fromLatin1(pdfStreams(pdf).front()));
    EXPECT_EQ(transform.captured().toStdString(),
              "1 0 0 -1 0 " + std::to_string(recorded->height()) + " cm");
}

TEST_F(VectorExport, PrintingFillsOnePageWithThePicturesLines) {
    QTemporaryDir folder;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath("printed.pdf"));
    printer.setPageOrientation(QPageLayout::Landscape);
    ASSERT_TRUE(printPicture(shown(), printer));
    QFile file(printer.outputFileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_EQ(pdf.count("/Type /Page\n"), 1);
    EXPECT_EQ(pdfLines(pdf).size(), drawnLines(*drawPicture(shown(), true)).size());
}

}  // namespace
}  // namespace tracebay::exporting
