#include "ui/help.h"

#include "platform/app_folders.h"
#include "platform/paths.h"
#include "ui/prompter.h"
#include "ui/shell_open.h"

#include <QCoreApplication>

namespace quillmark {

namespace {

QString& helpFolderOverride() {
    static QString folder;
    return folder;
}

QString helpFolderPath() {
    if (!helpFolderOverride().isEmpty())
        return helpFolderOverride();
    return QString::fromStdString(helpFolder(QCoreApplication::applicationDirPath().toStdString()));
}

} // namespace

void setHelpFolder(const QString& folder) {
    helpFolderOverride() = folder;
}

QString helpPagePath(const QString& page) {
    return helpFolderPath() + QLatin1Char('/') + page;
}

void showHelp(Prompter& prompter, const QString& page, QWidget* asker) {
    const QString path = helpPagePath(page);
    if (fileExists(path.toStdString())) {
        // The shell's message alone would not tell the user which page to open by hand.
        if (const Status opened = openInShell(path); !opened)
            prompter.message(asker, QString::fromStdString(opened.message()) + QLatin1Char('\r') + path,
                             kProgramTitle);
        return;
    }
    const QString text = QStringLiteral("Help file not found.") + QLatin1Char('\r') + path +
                         QLatin1Char('\r') +
                         QStringLiteral("Please visit the Halvrene Design website for the latest help files");
    prompter.message(asker, text, QStringLiteral("Sorry..."), Prompter::Icon::Warning);
}

} // namespace quillmark
