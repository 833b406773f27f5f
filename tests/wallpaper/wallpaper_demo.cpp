// Drives the Wallpaper tab on a real display for the end-to-end test:
//   wallpaper_demo picture FILE W H    writes a test picture: left half red, right half blue
//   wallpaper_demo change FOLDER FILE  adds FILE through the add dialog, then changes the wallpaper
//   wallpaper_demo size FILE           prints the picture's size as WxH
// The change uses the real desktop setter; every message the program would show is printed
// and makes the exit status 1.

#include "platform/error_handler.h"
#include "settings/settings.h"
#include "signature/random.h"
#include "support/scripted_prompter.h"
#include "wallpaper/wallpaper_tab.h"

#include <QApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    // Only the change needs the display.
    if (argc > 1 && std::string(argv[1]) != "change")
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == QStringLiteral("picture")) {
        QImage image(args[3].toInt(), args[4].toInt(), QImage::Format_RGB32);
        QPainter painter(&image);
        painter.fillRect(0, 0, image.width() / 2, image.height(), QColor(255, 0, 0));
        painter.fillRect(image.width() / 2, 0, image.width() - image.width() / 2, image.height(),
                         QColor(0, 0, 255));
        painter.end();
        return image.save(args[2]) ? 0 : 1;
    }
    if (args.size() == 3 && args[1] == QStringLiteral("size")) {
        const QSize size = QImageReader(args[2]).size();
        std::printf("%dx%d\n", size.width(), size.height());
        return size.isValid() ? 0 : 1;
    }
    if (args.size() != 4 || args[1] != QStringLiteral("change")) {
        std::fprintf(stderr, "usage: wallpaper_demo picture FILE W H | change FOLDER FILE | size FILE\n");
        return 2;
    }
    const std::string folder = args[2].toStdString();
    quillmark::setErrorLogPath(folder + "/errorlog.dat");
    quillmark::Settings settings(folder + "/Quillmark.INI");
    quillmark::test::ScriptedPrompter prompter;
    quillmark::ClockSeededRandom random;
    quillmark::WallpaperTab tab(prompter, random);
    tab.setProgramFolder(folder);
    tab.loadSettings(settings);
    tab.loadWallpaperList();
    prompter.pathLists.push_back({args[3]});
    tab.onBrowseWallpaperClicked();
    tab.onChangeWallpaperClicked();
    for (const auto& message : prompter.messages())
        std::fprintf(stderr, "message: %s\n", qPrintable(message.text));
    return prompter.messages().empty() ? 0 : 1;
}
