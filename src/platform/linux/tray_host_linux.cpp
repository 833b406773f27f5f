#include "platform/tray_host.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstdint>

namespace quillmark {

namespace {

// X11's DestroyNotify event code. Qt's tray support watches the tray host's window for
// it, so the event reaches the application when the host ends.
constexpr std::uint8_t kDestroyNotify = 17;

class TrayHostWatch final : public QAbstractNativeEventFilter {
public:
    TrayHostWatch(QObject* context, std::function<void()> handler)
        : m_context(context), m_handler(std::move(handler)) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t" || !m_context)
            return false;
        // Every xcb event starts with its type; the top bit marks a sent event.
        const auto type = static_cast<std::uint8_t>(*static_cast<const std::uint8_t*>(message) & 0x7F);
        if (type == kDestroyNotify)
            // Qt forgets the tray window while handling this same event: look afterwards.
            QTimer::singleShot(0, m_context, m_handler);
        return false;
    }

private:
    QPointer<QObject> m_context;
    std::function<void()> m_handler;
};

} // namespace

void onTrayHostMayHaveGone(QObject* context, std::function<void()> handler) {
    auto* watch = new TrayHostWatch(context, std::move(handler));
    QCoreApplication::instance()->installNativeEventFilter(watch);
    QObject::connect(context, &QObject::destroyed, [watch] {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(watch);
        delete watch;
    });
}

} // namespace quillmark
