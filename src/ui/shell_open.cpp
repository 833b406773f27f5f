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

int ShellOpen(const QString& file) {
    if (isAddress(file)) {
        const QUrl url(file);
        if (!url.isValid())
            return kShellNoAssociation;
        return openWithDesktop(url) ? kShellOpened : kShellNoAssociation;
    }
    if (file.isEmpty())
        return kShellFileNotFound;

    // xdg-open reports every failure alike, so the kinds that the user can fix are told
    // apart here, before the desktop is asked.
    const QFileInfo info(file);
    if (!info.exists())
        return QFileInfo(info.absolutePath()).isDir() ? kShellFileNotFound : kShellPathNotFound;
    if (!info.isReadable())
        return kShellAccessDenied;
    return openWithDesktop(QUrl::fromLocalFile(info.absoluteFilePath())) ? kShellOpened : kShellNoAssociation;
}

void OpenDocument(Prompter& prompter, const QString& file) {
    const int code = ShellOpen(file);
    if (code > 32)
        return;
    const std::string_view text = shellErrorText(code);
    prompter.message(nullptr, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                     kProgramTitle, Prompter::Icon::None, Prompter::Buttons::Ok);
}

} // namespace quillmark
