// One running copy per user: the lock decides, the socket brings the running copy forward.
#include "app/single_instance.h"
#include "support/scoped_env.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>

#include <gtest/gtest.h>
#include <memory>
#include <signal.h>
#include <vector>

namespace quillmark {
namespace {

using Outcome = SingleInstance::Outcome;

class SingleInstanceTest : public ::testing::Test {
protected:
    SingleInstanceTest() { test::isolateHome(dir.path()); }
    test::TempFolder dir;
    QString runtime = QString::fromStdString(dir.file("runtime"));
};

TEST_F(SingleInstanceTest, OnlyTheSecondCopyTellsTheUserItIsAlreadyRunning) {
    test::ScriptedPrompter prompter;
    SingleInstance first(runtime);
    ASSERT_TRUE(claimFirstCopy(first, prompter));
    EXPECT_TRUE(prompter.calls.empty());
    QSignalSpy shown(&first, &SingleInstance::activationRequested);

    SingleInstance second(runtime);
    EXPECT_FALSE(claimFirstCopy(second, prompter));
    prompter.expectMessage(QStringLiteral("You are already running Quillmark"));
    EXPECT_TRUE(shown.wait(2000));
    // The folder stays the user's alone.
    EXPECT_EQ(QFile::permissions(runtime) & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());

    // Copies that use another runtime folder (another user) do not meet.
    SingleInstance otherUser(QString::fromStdString(dir.file("other")));
    EXPECT_EQ(otherUser.claim(), Outcome::First);
}

TEST_F(SingleInstanceTest, APeerThatSendsTooMuchOrNothingIsDroppedAndTheNextCopyIsHeard) {
    SingleInstance first(runtime);
    ASSERT_EQ(first.claim(), Outcome::First);
    const struct {
        const char* what;
        QByteArray bytes;
    } rows[] = {
        {"a request without a line end", QByteArray(1 << 20, 'x')},
        {"nothing at all", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        QLocalSocket peer;
        peer.connectToServer(first.serverName());
        ASSERT_TRUE(peer.waitForConnected(2000));
        QSignalSpy dropped(&peer, &QLocalSocket::disconnected);
        peer.write(row.bytes);
        EXPECT_TRUE(dropped.wait(10000));
    }
    QSignalSpy shown(&first, &SingleInstance::activationRequested);
    SingleInstance second(runtime);
    EXPECT_EQ(second.claim(), Outcome::AlreadyRunning);
    EXPECT_TRUE(shown.wait(2000));
}

TEST_F(SingleInstanceTest, WithoutASessionRuntimeFolderCopiesMeetInTheUsersOwnFolder) {
    // Another user came first to the shared temporary folder, under every name a copy
    // could look for there.
    const QString shared = QString::fromStdString(dir.file("shared"));
    const QFileInfo me(QString::fromStdString(dir.path()));
    for (const QString& name :
         {QStringLiteral("/quillmark-%1").arg(me.ownerId()), QStringLiteral("/runtime-") + me.owner()}) {
        QDir().mkpath(shared + name);
        QProcess::execute(QStringLiteral("chown"), {QStringLiteral("65534"), shared + name}); // as root
    }
    const test::ScopedEnv tmp("TMPDIR", shared.toStdString());
    const test::ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);

    SingleInstance first;
    ASSERT_EQ(first.claim(), Outcome::First);
    SingleInstance second;
    EXPECT_EQ(second.claim(), Outcome::AlreadyRunning);
    EXPECT_TRUE(first.lockFilePath().startsWith(me.filePath() + QLatin1Char('/')))
        << first.lockFilePath().toStdString();
    EXPECT_FALSE(first.lockFilePath().startsWith(shared));
}

TEST_F(SingleInstanceTest, AFolderNotTheUsersAloneIsNeitherLockedNorTrustedNorChanged) {
    const QString file = QString::fromStdString(dir.file("file"));
    test::spit(dir.file("file"), "mine");
    const QFile::Permissions filePermissions = QFile::permissions(file);
    const QString open = QString::fromStdString(dir.file("open"));
    QDir().mkpath(open);
    QFile::setPermissions(open, QFile::Permissions(0x7777));
    const QString others = QString::fromStdString(dir.file("others"));
    QDir().mkpath(others);
    const bool root = QProcess::execute(QStringLiteral("chown"), {QStringLiteral("65534"), others}) == 0;
    const struct {
        const char* what;
        QString folder;
    } rows[] = {{"a plain file", file}, {"a folder open to all", open}, {"another user's folder", others}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.folder == others && !root)
            continue; // handing a folder to another user needs root
        SingleInstance instance(row.folder);
        EXPECT_EQ(instance.claim(), Outcome::First);
        EXPECT_FALSE(QFile::exists(instance.lockFilePath()));
        EXPECT_FALSE(QFile::exists(instance.serverName()));
    }
    EXPECT_EQ(test::slurp(dir.file("file")), "mine");
    EXPECT_EQ(QFile::permissions(file), filePermissions);
}

// Starts the probe program, which allows one running copy.
std::unique_ptr<QProcess> startProbe(const QString& runtime, int lifetimeMs) {
    auto process = std::make_unique<QProcess>();
    process->start(QStringLiteral(QUILLMARK_SINGLE_INSTANCE_PROBE), {runtime, QString::number(lifetimeMs)});
    return process;
}

TEST_F(SingleInstanceTest, CopiesStartedTogetherLeaveExactlyOneRunning) {
    std::vector<std::unique_ptr<QProcess>> copies;
    for (int i = 0; i < 4; ++i)
        copies.push_back(startProbe(runtime, 4000));
    QByteArrayList outputs;
    for (auto& copy : copies) {
        ASSERT_TRUE(copy->waitForFinished(15000));
        outputs << copy->readAllStandardOutput();
    }
    std::sort(outputs.begin(), outputs.end());
    EXPECT_EQ(outputs.join('|'), "already running\n|already running\n|already running\n|"
                                 "first\nactivated\nactivated\nactivated\n");
}

TEST_F(SingleInstanceTest, AHungCopyKeepsTheNextOutAndOneKilledHardLeavesTheWayFree) {
    auto killed = startProbe(runtime, 60000);
    ASSERT_TRUE(killed->waitForReadyRead(10000));
    ASSERT_TRUE(killed->readAllStandardOutput().startsWith("first"));
    ::kill(static_cast<pid_t>(killed->processId()), SIGSTOP); // it hangs: it never answers
    auto second = startProbe(runtime, 0);
    ASSERT_TRUE(second->waitForFinished(10000));
    EXPECT_EQ(second->readAllStandardOutput(), QByteArray("already running\n"));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.file("data/Quillmark/errorlog.dat"))));
    killed->kill(); // SIGKILL: no clean-up runs
    ASSERT_TRUE(killed->waitForFinished(5000));
    ASSERT_TRUE(QFile::exists(SingleInstance(runtime).lockFilePath()));

    auto next = startProbe(runtime, 0);
    ASSERT_TRUE(next->waitForFinished(10000));
    EXPECT_EQ(next->readAllStandardOutput(), QByteArray("first\n"));
}

} // namespace
} // namespace quillmark
