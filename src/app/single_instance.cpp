#include "app/single_instance.h"

#include "platform/error_handler.h"
#include "platform/product_info.h"
#include "ui/prompter.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>

namespace quillmark {

namespace {

constexpr char kShowCommand[] = "show\n";
// How long a second copy keeps trying to reach the first, which may have taken the lock a
// moment ago and not be listening yet.
constexpr int kReachTimeoutMs = 2000;

// The user running us, as the owner of a file we create.
uint currentUserId() {
    QTemporaryFile probe;
    return probe.open() ? QFileInfo(probe.fileName()).ownerId() : QFileInfo(QDir::homePath()).ownerId();
}

} // namespace

QString defaultRuntimeFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) // the number keeps the users of one machine apart
        folder = QDir::tempPath() + QStringLiteral("/quillmark-%1").arg(currentUserId());
    return folder;
}

SingleInstance::SingleInstance(QString runtimeFolder, QObject* parent)
    : QObject(parent), m_folder(runtimeFolder.isEmpty() ? defaultRuntimeFolder() : std::move(runtimeFolder)) {
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Outcome SingleInstance::claim() {
    // Only the user may see the lock and the socket: another user's copy is no reason to stop.
    if (!QDir(m_folder).exists()) {
        QDir().mkpath(m_folder);
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    } else if (QFileInfo(m_folder).ownerId() != currentUserId()) {
        // Someone else's folder (a shared temporary folder): its lock says nothing about
        // our copies, and its socket could be anyone's.
        LogError("SingleInstance::claim", m_folder.toStdString() + " belongs to another user");
        return Outcome::First;
    }

    m_lock = std::make_unique<QLockFile>(lockFilePath());
    // A lock left by a copy that was killed names a process that no longer runs; QLockFile
    // takes it over then. Age alone never makes a running copy's lock stale.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        listen();
        return Outcome::First;
    }
    if (m_lock->error() != QLockFile::LockFailedError) {
        // The folder cannot hold a lock: better two copies than none.
        LogError("SingleInstance::claim", "cannot create " + lockFilePath().toStdString());
        return Outcome::First;
    }
    // A second copy writes nothing, not even to the error log: the running copy owns the files.
    askRunningCopyToShow();
    return Outcome::AlreadyRunning;
}

void SingleInstance::listen() {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file left here belongs to a copy that is gone.
    QLocalServer::removeServer(serverName());
    if (!m_server->listen(serverName())) {
        LogError("SingleInstance::listen", m_server->errorString().toStdString());
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                while (peer->canReadLine()) {
                    if (peer->readLine() == kShowCommand)
                        emit activationRequested();
                }
            });
        }
    });
}

void SingleInstance::askRunningCopyToShow() {
    const QDeadlineTimer deadline(kReachTimeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(serverName());
        if (socket.waitForConnected(200)) {
            socket.write(kShowCommand);
            socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState)
                socket.waitForDisconnected(1000);
            return;
        }
        QThread::msleep(50);
    }
}

bool claimFirstCopy(SingleInstance& instance, Prompter& prompter) {
    if (instance.claim() == SingleInstance::Outcome::First)
        return true;
    prompter.message(nullptr,
                     QStringLiteral("You are already running ") +
                         QString::fromUtf8(kProductName.data(), static_cast<qsizetype>(kProductName.size())));
    return false;
}

} // namespace quillmark
