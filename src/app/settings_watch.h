#pragma once
// Tells when quillmark-cli has changed the settings file. The file is replaced whole, so its folder
// is watched, and the folder above it, which follows a replaced settings folder (a restored backup).

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
