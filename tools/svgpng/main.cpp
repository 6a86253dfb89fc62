// lexaro-svg-png SVG PNG SIZE: draws the SVG picture into a square PNG of SIZE pixels.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv) {
    // No display is needed to draw into a picture.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: lexaro-svg-png SVG PNG SIZE\n");
        return 2;
    }
    const int size = QString::fromLocal8Bit(argv[3]).toInt();
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid() || size < 1 || size > 4096) {
        std::fprintf(stderr, "lexaro-svg-png: %s cannot be drawn at size %s\n", argv[1], argv[3]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "lexaro-svg-png: %s cannot be written\n", argv[2]);
        return 1;
    }
    return 0;
}
