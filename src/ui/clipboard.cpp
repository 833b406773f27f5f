#include "ui/clipboard.h"

#include <QApplication>
#include <QClipboard>

namespace quillmark {

void putOnClipboard(const QString& text) {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    QCoreApplication::processEvents();
    clipboard->setText(text);
}

} // namespace quillmark
