#include "platform/windows/top_level_window.h"

#include <QObject>
#include <QWindow>

namespace quillmark::win {

void keepHiddenTopLevelWindow(QObject* owner) {
    auto* window = new QWindow;
    window->create();
    QObject::connect(owner, &QObject::destroyed, [window] { delete window; });
}

} // namespace quillmark::win
