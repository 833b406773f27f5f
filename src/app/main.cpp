// Quillmark: keeps an e-mail signature fresh from the system tray.
#include "app/frm_main.h"
#include "platform/app_folders.h"
#include "platform/error_handler.h"
#include "platform/file_io.h"
#include "platform/sample_files.h"
#include "platform/session_end.h"
#include "settings/settings.h"
#include "signature/random.h"
#include "ui/prompter.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

namespace {

// The sample signature files come with the program: beside the executable in a build
// tree, in the shared data folder when installed.
QString sampleSigsFolder() {
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/Sigs");
    if (QDir(beside).exists())
        return beside;
    return QStringLiteral(QUILLMARK_DATADIR "/quillmark/Sigs");
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLMARK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.quillmark.Quillmark"));

    using namespace quillmark;
    copyMissingFiles(sampleSigsFolder().toStdString(), programFolder() + "/Sigs");

    Settings settings(settingsFilePath());
    QtPrompter prompter;
    ClockSeededRandom random;
    frmMain window(settings, prompter, random);
    prompter.setParent(&window);
    onTerminationRequest(&window, [&window] { window.endSession(); });
    // Start-up runs inside the event loop: a stop request that comes while one of its
    // message boxes is open then ends the whole program, not only the box's own loop.
    QTimer::singleShot(0, &window, &frmMain::startUp);
    return QApplication::exec();
}
