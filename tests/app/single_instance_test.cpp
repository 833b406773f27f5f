// One running copy per user: the lock decides, the socket brings the running copy forward.
#include "app/single_instance.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>
#include <memory>
#include <signal.h>
#include <vector>

namespace quillmark {
namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    SingleInstanceTest() { test::isolateHome(dir.path()); }
    test::TempFolder dir;
    QString runtime = QString::fromStdString(dir.file("runtime"));
};

TEST_F(SingleInstanceTest, AFolderOpenToOthersIsNeitherLockedNorTrustedNorChanged) {
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::Permissions(0x7777));
    SingleInstance instance(runtime);
    EXPECT_EQ(instance.claim(), SingleInstance::Outcome::First);
    EXPECT_FALSE(QFile::exists(instance.lockFilePath()));
    EXPECT_FALSE(QFile::exists(instance.serverName()));
    EXPECT_EQ(QFile::permissions(runtime), QFile::Permissions(0x7777));
}

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
    killed->kill(); // SIGKILL: no clean-up runs
    ASSERT_TRUE(killed->waitForFinished(5000));
    ASSERT_TRUE(QFile::exists(SingleInstance(runtime).lockFilePath()));

    auto next = startProbe(runtime, 0);
    ASSERT_TRUE(next->waitForFinished(10000));
    EXPECT_EQ(next->readAllStandardOutput(), QByteArray("first\n"));
}

} // namespace
} // namespace quillmark
