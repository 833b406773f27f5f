// A stand-in program for the tray's end-to-end test: a main window and the real tray
// window; every command the tray asks for is written as one line to the log file.
#include "tray/splash_window.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QMainWindow>
#include <QTimer>

#include <functional>

namespace {

// Minimising hides the window into the tray, as the main window does, only while a tray
// shows the icon.
class DemoWindow : public QMainWindow {
public:
    std::function<bool()> canHideToTray;
    std::function<void()> hidden;

protected:
    void changeEvent(QEvent* event) override {
        QMainWindow::changeEvent(event);
        if (event->type() == QEvent::WindowStateChange && isMinimized() && canHideToTray && canHideToTray()) {
            // Hidden once the window system has finished minimising it.
            QTimer::singleShot(0, this, &QWidget::hide);
            hidden();
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    // The program lives in the tray: closing a window must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    QFile log(QString::fromLocal8Bit(argv[1]));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return 1;
    auto write = [&log](const QString& line) {
        log.write((line + QLatin1Char('\n')).toUtf8());
    };

    DemoWindow main;
    main.setWindowTitle(QStringLiteral("Tray Demo"));
    main.resize(300, 200);
    quillmark::SplashWindow splash(&main, false);
    main.canHideToTray = [&splash] {
        return splash.canHideToTray();
    };
    main.hidden = [&] {
        write(QStringLiteral("hidden"));
    };
    main.show();
    splash.addProfileItem(1, QStringLiteral("Work"));
    splash.addProfileItem(2, QStringLiteral("Home"));
    splash.setProfileItemChecked(1, true);

    using quillmark::SplashWindow;
    QObject::connect(&splash, &SplashWindow::restoreRequested, [&] { write(QStringLiteral("restore")); });
    QObject::connect(&splash, &SplashWindow::nextSigRequested, [&] { write(QStringLiteral("nextSig")); });
    QObject::connect(&splash, &SplashWindow::copyRequested, [&] { write(QStringLiteral("copy")); });
    QObject::connect(&splash, &SplashWindow::encryptClipboardRequested,
                     [&] { write(QStringLiteral("encrypt")); });
    QObject::connect(&splash, &SplashWindow::decryptClipboardRequested,
                     [&] { write(QStringLiteral("decrypt")); });
    QObject::connect(&splash, &SplashWindow::aboutRequested, [&] { write(QStringLiteral("about")); });
    QObject::connect(&splash, &SplashWindow::helpRequested, [&] { write(QStringLiteral("help")); });
    QObject::connect(&splash, &SplashWindow::profileChosen,
                     [&](const QString& name) { write(QStringLiteral("profile ") + name); });
    QObject::connect(&splash, &SplashWindow::exitRequested, [&] {
        write(QStringLiteral("exit"));
        QApplication::quit();
    });
    write(QStringLiteral("ready"));
    return QApplication::exec();
}
