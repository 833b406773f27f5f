#include "platform/tray_host.h"

#include "platform/windows/top_level_window.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <windows.h>

namespace quillmark {

namespace {

// The notification area belongs to Explorer's task bar, which is always there. When Explorer
// restarts (after a crash, or a change of the screen's resolution), the new task bar sends
// the registered message "TaskbarCreated" to every top-level window, and Qt's tray icon adds
// itself to it again. The handler runs after that, so the program can check that a window
// hidden to the tray can still be reached.
class TaskbarWatch final : public QAbstractNativeEventFilter {
public:
    TaskbarWatch(QObject* context, std::function<void()> handler)
        : m_context(context), m_handler(std::move(handler)),
          m_taskbarCreated(::RegisterWindowMessageW(L"TaskbarCreated")) {
        m_pending.setSingleShot(true);
        m_pending.setInterval(0);
        QObject::connect(&m_pending, &QTimer::timeout, context, [this] { m_handler(); });
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "windows_generic_MSG" || !m_context || m_taskbarCreated == 0)
            return false;
        if (static_cast<const MSG*>(message)->message == m_taskbarCreated)
            // Once for the many windows that get the message, after Qt's own handling.
            m_pending.start();
        return false;
    }

private:
    QPointer<QObject> m_context;
    std::function<void()> m_handler;
    UINT m_taskbarCreated;
    QTimer m_pending;
};

} // namespace

void onTrayHostMayHaveGone(QObject* context, std::function<void()> handler) {
    win::watchTopLevelMessages(context, new TaskbarWatch(context, std::move(handler)));
}

} // namespace quillmark
