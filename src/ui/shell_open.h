#pragma once
// Opening a document, a web page or a mail address with the user's own program for it.

#include "base/result.h"

#include <QString>
#include <QUrl>

#include <functional>

namespace quillmark {

class Prompter;

// Hands a URL to the desktop; true when the desktop took it.
using UrlOpener = std::function<bool(const QUrl&)>;

// Replaces the desktop opener (tests use this so that no browser starts); an empty
// function puts QDesktopServices::openUrl back.
void setUrlOpener(UrlOpener opener);

// Opens a file or folder path, or a "mailto:", "http:" or "https:" address. A failure is
// NotFound for a missing file, PathNotFound for a missing folder, AccessDenied for an
// unreadable file and Other when no program took it, with the message the user is shown.
Status openInShell(const QString& file);

// Opens the file; a failure is shown to the user with its message.
void openDocument(Prompter& prompter, const QString& file);

} // namespace quillmark
