#pragma once
// Opening a document, a web page or a mail address with the user's own program for it.

#include <QString>
#include <QUrl>

#include <functional>

namespace quillmark {

class Prompter;

// Codes of a failed open, as the shell reports them; anything above 32 is success.
inline constexpr int kShellFileNotFound = 2;
inline constexpr int kShellPathNotFound = 3;
inline constexpr int kShellAccessDenied = 5;
inline constexpr int kShellNoAssociation = 31;
inline constexpr int kShellOpened = 33;

// Hands a URL to the desktop; true when the desktop took it.
using UrlOpener = std::function<bool(const QUrl&)>;

// Replaces the desktop opener (tests use this so that no browser starts); an empty
// function puts QDesktopServices::openUrl back.
void setUrlOpener(UrlOpener opener);

// Opens a file or folder path, or a "mailto:", "http:" or "https:" address. Returns 2 for
// a missing file, 3 for a missing folder, 5 for an unreadable file, 31 when no program
// took it, and 33 or more on success.
int ShellOpen(const QString& file);

// Opens the file; a failure is shown to the user with the message for its code.
void OpenDocument(Prompter& prompter, const QString& file);

} // namespace quillmark
