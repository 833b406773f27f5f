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

// Replaces the desktop opener (tests: no browser starts); an empty function restores it.
void setUrlOpener(UrlOpener opener);

// Opens a path, or a "mailto:", "http:" or "https:" address. Failures: NotFound, PathNotFound,
// AccessDenied (unreadable file) or Other (no program took it), with the message the user sees.
Status openInShell(const QString& file);

// Opens the file; a failure is shown to the user with its message.
void openDocument(Prompter& prompter, const QString& file);

} // namespace quillmark
