// Draws resources/pictures/about.png, the picture behind the About box and the splash
// screen: the program's icon (paper, a quill and its ink line) on a paper-coloured card.
// Build and run once when the picture changes:
//   g++ -std=c++20 -fPIC tools/draw_about_picture.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/draw
//   QT_QPA_PLATFORM=offscreen /tmp/draw resources/pictures/about.png
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const int width = 420;
    const int height = 260;
    QImage image(width, height, QImage::Format_ARGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient paper(0, 0, 0, height);
    paper.setColorAt(0, QColor(0xfb, 0xf8, 0xf0));
    paper.setColorAt(1, QColor(0xf1, 0xea, 0xd8));
    p.fillRect(image.rect(), paper);

    // The left band carries the icon; the text of the window sits on the plain paper.
    QLinearGradient band(0, 0, 160, 0);
    band.setColorAt(0, QColor(0xe6, 0xdc, 0xc3));
    band.setColorAt(1, QColor(0xf1, 0xea, 0xd8));
    p.fillRect(QRect(0, 0, 160, height), band);
    p.setPen(QPen(QColor(0x5b, 0x4a, 0x2f, 90), 1));
    p.drawLine(160, 16, 160, height - 16);

    // The icon's 64-unit drawing, twice as large.
    p.save();
    p.translate(16, 60);
    p.scale(2.0, 2.0);
    p.setPen(QPen(QColor(0x5b, 0x4a, 0x2f), 3));
    p.setBrush(QColor(0xf4, 0xef, 0xe2));
    p.drawRoundedRect(QRectF(6, 10, 52, 44), 6, 6);
    QPainterPath ink;
    ink.moveTo(14, 42);
    ink.cubicTo(24, 34, 30, 46, 40, 38);
    ink.cubicTo(50, 30, 50, 36, 52, 40);
    p.setPen(QPen(QColor(0x2f, 0x5b, 0x8a), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(ink);
    QPainterPath quill;
    quill.moveTo(46, 12);
    quill.lineTo(26, 36);
    quill.lineTo(24, 42);
    quill.lineTo(30, 39);
    quill.lineTo(50, 16);
    quill.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5b, 0x4a, 0x2f));
    p.drawPath(quill);
    p.restore();

    // A faint ink flourish along the foot of the card.
    QPainterPath flourish;
    flourish.moveTo(180, height - 22);
    flourish.cubicTo(250, height - 40, 300, height - 4, 400, height - 26);
    p.setPen(QPen(QColor(0x2f, 0x5b, 0x8a, 70), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(flourish);
    p.end();
    return image.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
