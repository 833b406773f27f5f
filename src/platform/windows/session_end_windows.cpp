#include "platform/session_end.h"

#include "platform/windows/top_level_window.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QObject>
#include <QPointer>

#include <windows.h>

namespace quillmark {

namespace {

// Windows ends a session in two steps. WM_QUERYENDSESSION asks every program whether it may
// end; Qt answers it and emits commitDataRequest. WM_ENDSESSION then says that the session
// does end, and once a program returns from it Windows may stop the program at any moment:
// so the handler runs here, before returning, not later on the event loop.
class SessionEndWatch final : public QAbstractNativeEventFilter {
public:
    SessionEndWatch(QObject* context, std::function<void()> handler)
        : m_context(context), m_handler(std::move(handler)) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "windows_generic_MSG" || m_ended || !m_context)
            return false;
        const MSG* msg = static_cast<const MSG*>(message);
        // FALSE: another program refused, and the session goes on.
        if (msg->message != WM_ENDSESSION || msg->wParam == FALSE)
            return false;
        // Every top-level window gets the message; the program stops once.
        m_ended = true;
        m_handler();
        return false;
    }

private:
    QPointer<QObject> m_context;
    std::function<void()> m_handler;
    bool m_ended = false;
};

} // namespace

void onTerminationRequest(QObject* context, std::function<void()> handler) {
    win::watchTopLevelMessages(context, new SessionEndWatch(context, std::move(handler)));
}

} // namespace quillmark
