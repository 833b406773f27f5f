#pragma once
// Tells when another program (quillmark-cli) has changed the settings file while this one
// runs. The file is replaced whole, so its folder is watched; the folder above it too,
// because the user may replace the whole settings folder (restore a backup), and the
// watch then follows the new folder.

#include <QObject>
#include <QString>
#include <cstdint>

class QFileSystemWatcher;
class QTimer;

namespace quillmark {

class Settings;

class SettingsWatch : public QObject {
    Q_OBJECT
public:
    explicit SettingsWatch(Settings& settings, QObject* parent = nullptr);

signals:
    // The file holds what another program wrote; this program's own writes do not count.
    void changedOutside();

private:
    // Watches whatever folder now stands at the settings folder's path.
    void rearm();

    Settings& m_settings;
    QString m_folder;
    QFileSystemWatcher* m_watch;
    // Several writes in a row (a replace is a write and a rename) are looked at once.
    QTimer* m_settle;
    std::uint64_t m_outsideChanges = 0;
};

} // namespace quillmark
