// Saves what an X display shows as a PNG: one window, or the whole screen, optionally cut
// to a rectangle. Used by tools/screenshots.sh; build it with
//   g++ -std=c++20 -fPIC tools/grab_window.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/grab_window
// Usage: grab_window OUTPUT.png [WINDOW_ID|root] [WIDTHxHEIGHT+X+Y]
#include <QGuiApplication>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>
#include <QString>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::fputs("usage: grab_window OUTPUT.png [WINDOW_ID|root] [WIDTHxHEIGHT+X+Y]\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        std::fputs("grab_window: no screen\n", stderr);
        return 1;
    }
    WId window = 0;
    if (argc >= 3 && QString::fromLocal8Bit(argv[2]) != QStringLiteral("root")) {
        bool ok = false;
        window = static_cast<WId>(QString::fromLocal8Bit(argv[2]).toULongLong(&ok, 0));
        if (!ok) {
            std::fputs("grab_window: the window id is not a number\n", stderr);
            return 2;
        }
    }
    int x = 0, y = 0, width = -1, height = -1;
    if (argc == 4) {
        const auto match = QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)\\+(\\d+)\\+(\\d+)$"))
                               .match(QString::fromLocal8Bit(argv[3]));
        if (!match.hasMatch()) {
            std::fputs("grab_window: the rectangle must read WIDTHxHEIGHT+X+Y\n", stderr);
            return 2;
        }
        width = match.captured(1).toInt();
        height = match.captured(2).toInt();
        x = match.captured(3).toInt();
        y = match.captured(4).toInt();
    }
    const QPixmap shot = screen->grabWindow(window, x, y, width, height);
    if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "grab_window: could not grab or save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
