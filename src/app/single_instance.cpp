#include "app/single_instance.h"

#include "base/product_info.h"
#include "platform/app_folders.h"
#include "platform/error_handler.h"
#include "ui/prompter.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

namespace quillmark {

namespace {

constexpr char kShowCommand[] = "show\n";
// How long a second copy tries to reach the first, which may not be listening yet.
constexpr int kReachTimeoutMs = 2000;
// A request is one short line, sent at once. A peer that sends more without a line end,
// or nothing for this long, is dropped before its bytes pile up in this copy's memory.
constexpr qint64 kMaxRequestBytes = 4096;
constexpr int kSilentPeerMs = 3000;

QString folderOrDefault(const QString& folder) {
    if (!folder.isEmpty())
        return folder;
    return QDir::fromNativeSeparators(QString::fromStdString(runtimeFolder()));
}

} // namespace

SingleInstance::SingleInstance(QString runtimeFolder, QObject* parent)
    : QObject(parent), m_folder(folderOrDefault(runtimeFolder)) {}

SingleInstance::~SingleInstance() = default;

SingleInstance::Outcome SingleInstance::claim() {
    // Only the user may see the lock and the socket: in a folder others can write in they prove nothing.
    // A plain file in its place is the user's and stays as it is.
    if (!makePrivateFolder(m_folder.toStdString())) {
        logError("SingleInstance::claim",
                 m_folder.toStdString() + " is not a folder of this user's alone: another copy may run");
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
        logError("SingleInstance::claim", "cannot create " + lockFilePath().toStdString());
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
        logError("SingleInstance::listen", m_server->errorString().toStdString());
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = m_server->nextPendingConnection())
            serve(peer);
    });
}

void SingleInstance::serve(QLocalSocket* peer) {
    peer->setReadBufferSize(kMaxRequestBytes);
    auto* silence = new QTimer(peer);
    silence->setSingleShot(true);
    auto drop = [peer] {
        peer->abort();
        peer->deleteLater();
    };
    connect(silence, &QTimer::timeout, peer, drop);
    connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
    connect(peer, &QLocalSocket::readyRead, this, [this, peer, silence, drop] {
        while (peer->canReadLine()) {
            if (peer->readLine(kMaxRequestBytes) == kShowCommand)
                emit activationRequested();
        }
        if (peer->bytesAvailable() >= kMaxRequestBytes)
            drop();
        else
            silence->start();
    });
    silence->start(kSilentPeerMs);
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
    prompter.message(nullptr, QStringLiteral("You are already running ") + QString::fromUtf8(kProductName));
    return false;
}

} // namespace quillmark
