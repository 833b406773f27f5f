#include "app/settings_watch.h"

#include "platform/error_handler.h"
#include "settings/settings.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace quillmark {

SettingsWatch::SettingsWatch(Settings& settings, QObject* parent)
    : QObject(parent), m_settings(settings),
      m_folder(QFileInfo(QString::fromStdString(settings.path())).absolutePath()),
      m_watch(new QFileSystemWatcher(this)), m_settle(new QTimer(this)),
      m_outsideChanges(settings.checkForOutsideChanges()) {
    m_settle->setSingleShot(true);
    m_settle->setInterval(200);
    connect(m_settle, &QTimer::timeout, this, [this] {
        const std::uint64_t changes = m_settings.checkForOutsideChanges();
        if (changes == m_outsideChanges)
            return; // our own write, or a copy of the same file put back
        m_outsideChanges = changes;
        emit changedOutside();
    });
    // The folder above tells when the settings folder is replaced.
    const bool above = m_watch->addPath(QFileInfo(m_folder).absolutePath());
    if (!m_watch->addPath(m_folder) || !above)
        logError("watchSettingsFile", "cannot watch " + m_settings.path() + " for changes by other programs");
    connect(m_watch, &QFileSystemWatcher::directoryChanged, this, [this](const QString& path) {
        if (path != m_folder)
            rearm();
        m_settle->start();
    });
}

void SettingsWatch::rearm() {
    // The watch stays on a folder that was moved away, and drops one that was removed: any
    // change beside it may have been the folder's replacement, which is watched from now on.
    m_watch->removePath(m_folder);
    if (QFileInfo(m_folder).isDir())
        m_watch->addPath(m_folder);
}

} // namespace quillmark
