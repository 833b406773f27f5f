#include "app/frm_main.h"
#include "platform/app_folders.h"
#include "platform/file_io.h"
#include "profiles/profile_store.h"
#include "support/ui_fixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QSettings>
#include <QTabWidget>
#include <QTest>

namespace quillmark {
namespace {

// The window and quillmark-cli share one settings file, as on a user's desktop.
class SettingsWatchTest : public test::UiTest {
protected:
    SettingsWatchTest() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(dir.file("config")));
    }

    // Runs quillmark-cli while the window goes on handling its events.
    int cli(const QStringList& args) {
        QProcess process;
        process.start(QStringLiteral(QUILLMARK_CLI), args);
        while (!process.waitForFinished(5))
            QCoreApplication::processEvents();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QStringList listed(const frmMain& w) const {
        QStringList names;
        const auto* list = w.findChild<QComboBox*>(QStringLiteral("cmbProfile"));
        for (int i = 0; i < list->count(); ++i)
            names << list->itemText(i);
        return names;
    }
};

TEST_F(SettingsWatchTest, ProfilesChangedFromTheCommandLineReachTheRunningWindowAndNoWriteIsLost) {
    const std::string path = settingsFilePath();
    ASSERT_TRUE(makeFoldersFor(path));
    const QString header = QString::fromStdString(dir.file("h.txt"));
    const QString footer = QString::fromStdString(dir.file("f.txt"));
    test::spit(dir.file("h.txt"), "Ann\n");
    test::spit(dir.file("f.txt"), "one\n%\ntwo\n");
    test::spit(path, "[Profiles]\nPROFILE 1=Home\nHEADER FILE 1=" + dir.file("h.txt") + "\nFOOTER FILE 1=" +
                         dir.file("f.txt") + "\nSIG FILE 1=" + dir.file("sig.txt") + "\n");
    Settings shared(path);
    frmMain w(shared, prompter, random);
    w.startUp();
    auto* tabs = w.findChild<QTabWidget*>(QStringLiteral("tabMain"));
    auto* interval = w.findChild<QLineEdit*>(QStringLiteral("txtInterval1"));

    const int rounds = 200;
    auto name = [](int round) {
        return QStringLiteral("Round %1").arg(round);
    };
    for (int round = 0; round < rounds; ++round) {
        QProcess add;
        add.start(QStringLiteral(QUILLMARK_CLI),
                  {QStringLiteral("profile"), QStringLiteral("add"), name(round), QStringLiteral("--header"),
                   header, QStringLiteral("--footer"), footer, QStringLiteral("--output"),
                   QString::fromStdString(dir.file("out.txt"))});
        // Meanwhile the window saves its own settings, as a tab change does.
        interval->setText(QString::number(round + 1));
        tabs->setCurrentIndex(round % 2 == 0 ? frmMain::kWallpaperTab : frmMain::kSignatureTab);
        while (!add.waitForFinished(5))
            QCoreApplication::processEvents();
        ASSERT_EQ(add.exitCode(), 0) << add.readAllStandardError().toStdString();
        if (round > 0) {
            ASSERT_EQ(cli({QStringLiteral("profile"), QStringLiteral("remove"), name(round - 1)}), 0);
        }
    }
    tabs->setCurrentIndex(frmMain::kWallpaperTab);

    Settings check(path);
    const std::vector<std::string> stored = listProfileNames(check);
    EXPECT_EQ(stored, (std::vector<std::string>{"Home", name(rounds - 1).toStdString()}));
    EXPECT_EQ(check.ReadINIPlain("SETTINGS", "INTERVAL_1"), std::to_string(rounds));

    const QStringList expected{QStringLiteral("Home"), name(rounds - 1)};
    QElapsedTimer waited;
    waited.start();
    while (listed(w) != expected && waited.elapsed() < 5000)
        QTest::qWait(50);
    EXPECT_EQ(listed(w), expected);
}

} // namespace
} // namespace quillmark
