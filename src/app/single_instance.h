#pragma once
// One running copy per user. A lock file in the user's runtime folder decides which copy
// runs; a local socket beside it lets a second copy ask the first to show its window.

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;

namespace quillmark {

class Prompter;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        First,          // this copy runs: it holds the lock and listens
        AlreadyRunning, // another copy runs and has been asked to show itself
    };

    // `runtimeFolder` empty: the user's runtime folder, which only the user can write in.
    explicit SingleInstance(QString runtimeFolder = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock or tells the running copy to come to the front. Call once, at start-up.
    Outcome claim();

    QString lockFilePath() const { return m_folder + QStringLiteral("/quillmark.lock"); }
    QString serverName() const { return m_folder + QStringLiteral("/quillmark.socket"); }

signals:
    // A second copy was started: the user wants this copy's window.
    void activationRequested();

private:
    void listen();
    void serve(QLocalSocket* peer);
    // Best effort: a copy that does not answer still keeps this one from running.
    void askRunningCopyToShow();

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

// Start-up's first step. True: this copy runs. False: another copy runs, was asked to come to the
// front and the user was told; this copy must end at once without touching a file.
bool claimFirstCopy(SingleInstance& instance, Prompter& prompter);

} // namespace quillmark
