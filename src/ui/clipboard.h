#pragma once

#include <QString>

namespace quillmark {

// Empties the clipboard, lets pending events run, then puts `text` on it as plain text.
void putOnClipboard(const QString& text);

} // namespace quillmark
