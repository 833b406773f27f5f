#pragma once
// The help pages: HTML files in the "Help" folder, shown in the user's browser.

#include <QString>

class QWidget;

namespace quillmark {

class Prompter;

// Help pages from `folder` instead of beside the program (tests); empty restores the usual one.
void setHelpFolder(const QString& folder);

QString helpPagePath(const QString& page);

// Opens a help page; when it is missing, tells the user which file was looked for, in a box
// over the window of `asker` (the main window when null).
void showHelp(Prompter& prompter, const QString& page, QWidget* asker = nullptr);

} // namespace quillmark
