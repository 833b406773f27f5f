// Quillmark: keeps an e-mail signature fresh from the system tray.
#include "app/main_window.h"
#include "app/single_instance.h"
#include "platform/app_folders.h"
#include "platform/desktop_session.h"
#include "platform/sample_files.h"
#include "platform/session_end.h"
#include "settings/settings.h"
#include "signature/random.h"
#include "ui/appearance.h"
#include "ui/prompter.h"
#include "ui/window_place.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    // Answered without a desktop, for a user's or an installer's check.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("quillmark " QUILLMARK_VERSION);
            return 0;
        }
    // Without a window system Qt would abort with a message about reinstalling.
    if (!quillmark::desktopSessionAvailable(argc, argv)) {
        std::fputs("quillmark needs a desktop session to show its windows; "
                   "quillmark-cli works without one.\n",
                   stderr);
        return 1;
    }
    // Before Qt looks for it: a runtime folder that is the user's alone, never a shared one.
    quillmark::useOwnRuntimeFolder();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLMARK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.quillmark.Quillmark"));
    // The program lives in the tray: hiding or closing its windows does not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    using namespace quillmark;
    QtPrompter prompter;
    // Before any file is touched: a second copy leaves every file to the running one.
    SingleInstance instance;
    if (!claimFirstCopy(instance, prompter))
        return 0;

    installDesignFontSubstitutes();
    // The executable's folder in UTF-8, as every path of the program (Qt's own 8-bit names
    // are in the Windows code page there).
    copyMissingFiles(sampleSigsFolder(executableFolder()), programFolder() + "/Sigs");
    const AppearanceTemplates looks;

    Settings settings(settingsFilePath());
    ClockSeededRandom random;
    MainWindow window(settings, prompter, random);
    prompter.setParent(&window);
    QObject::connect(&instance, &SingleInstance::activationRequested, &window,
                     [&window] { bringWindowBack(&window); });
    onTerminationRequest(&window, [&window] { window.endSession(); });
    // Start-up runs in the event loop, so a stop request during one of its message boxes ends all.
    QTimer::singleShot(0, &window, &MainWindow::startUp);
    return QApplication::exec();
}
