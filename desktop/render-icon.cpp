// render-icon: draws the program's SVG icon into a square PNG of the given size, for the icon
// theme's fixed sizes. Used by the build only.

#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: render-icon ICON.svg SIZE OUT.png\n";
        return 64;
    }
    QSvgRenderer renderer{QString::fromLocal8Bit(argv[1])};
    bool sized = false;
    const int size = QString(argv[2]).toInt(&sized);
    if (!renderer.isValid() || !sized || size < 1 || size > 4096) {
        std::cerr << "render-icon: cannot draw " << argv[1] << " at " << argv[2] << " pixels\n";
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::cerr << "render-icon: cannot write " << argv[3] << "\n";
        return 1;
    }
    return 0;
}
