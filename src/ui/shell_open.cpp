#include "ui/shell_open.h"

#include "platform/documents.h"
#include "ui/prompter.h"

#include <QDesktopServices>
#include <QFileInfo>

namespace quillmark {

namespace {

UrlOpener& urlOpener() {
    static UrlOpener opener;
    return opener;
}

bool openWithDesktop(const QUrl& url) {
    const UrlOpener& opener = urlOpener();
    return opener ? opener(url) : QDesktopServices::openUrl(url);
}

// Codes of a failed open, as the shell reports them; shellError() puts them into words.
constexpr int kShellFileNotFound = 2;
constexpr int kShellPathNotFound = 3;
constexpr int kShellAccessDenied = 5;
constexpr int kShellNoAssociation = 31;

Status opened(bool taken) {
    if (taken)
        return {};
    return shellError(kShellNoAssociation);
}

// Addresses the About box and the help pages hand over; everything else is a path.
bool isAddress(const QString& file) {
    for (const auto& scheme : {QStringLiteral("mailto:"), QStringLiteral("http:"), QStringLiteral("https:")})
        if (file.startsWith(scheme, Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

void setUrlOpener(UrlOpener opener) {
    urlOpener() = std::move(opener);
}

Status openInShell(const QString& file) {
    if (isAddress(file)) {
        const QUrl url(file);
        return opened(url.isValid() && openWithDesktop(url));
    }
    if (file.isEmpty())
        return shellError(kShellFileNotFound);

    // xdg-open reports every failure alike: the kinds the user can fix are told apart here first.
    const QFileInfo info(file);
    if (!info.exists())
        return shellError(QFileInfo(info.absolutePath()).isDir() ? kShellFileNotFound : kShellPathNotFound);
    if (!info.isReadable())
        return shellError(kShellAccessDenied);
    return opened(openWithDesktop(QUrl::fromLocalFile(info.absoluteFilePath())));
}

void openDocument(Prompter& prompter, const QString& file) {
    if (const Status status = openInShell(file); !status)
        prompter.message(nullptr, QString::fromStdString(status.message()), kProgramTitle);
}

} // namespace quillmark
