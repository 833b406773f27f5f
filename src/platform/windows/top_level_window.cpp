#include "platform/windows/top_level_window.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QObject>
#include <QWindow>

namespace quillmark::win {

void watchTopLevelMessages(QObject* owner, QAbstractNativeEventFilter* filter) {
    QCoreApplication::instance()->installNativeEventFilter(filter);
    auto* window = new QWindow;
    window->create();
    QObject::connect(owner, &QObject::destroyed, [window, filter] {
        delete window;
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(filter);
        delete filter;
    });
}

} // namespace quillmark::win
