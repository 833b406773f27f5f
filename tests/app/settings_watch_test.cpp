#include "app/main_window.h"
#include "platform/app_folders.h"
#include "platform/file_io.h"
#include "profiles/profile_store.h"
#include "support/ui_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSettings>
#include <QTabWidget>
#include <QTest>
#include <filesystem>
#include <functional>

namespace quillmark {
namespace {

using namespace Qt::StringLiterals;
namespace fs = std::filesystem;

// The window and quillmark-cli share one settings file, as on a user's desktop.
class SettingsWatchTest : public test::UiTest {
protected:
    SettingsWatchTest() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(dir.file("config")));
        EXPECT_TRUE(makeFoldersFor(path));
        test::spit(dir.file("h.txt"), "Ann\n");
        test::spit(path, "[Profiles]\nPROFILE 1=Home\nHEADER FILE 1=" + dir.file("h.txt") +
                             "\nSIG FILE 1=" + dir.file("sig.txt") + "\n");
        w.startUp();
    }
    // Runs quillmark-cli while the window goes on handling its events.
    int cli(const QString& command, const QString& name, const std::function<void()>& meanwhile = {}) {
        const QString header = QString::fromStdString(dir.file("h.txt"));
        QProcess process;
        process.start(QStringLiteral(QUILLMARK_CLI),
                      command == u"add"_s
                          ? QStringList{u"profile"_s, command, name, u"--header"_s, header, u"--footer"_s,
                                        header, u"--output"_s, QString::fromStdString(dir.file("out.txt"))}
                          : QStringList{u"profile"_s, command, name});
        if (meanwhile)
            meanwhile();
        // Once processEvents has handled the exit, waitForFinished never returns true again.
        while (process.state() != QProcess::NotRunning && !process.waitForFinished(5))
            QCoreApplication::processEvents();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    QStringList listed() const {
        const auto* list = test::control<QComboBox>(w, "cmbProfile");
        QStringList names;
        for (int i = 0; i < list->count(); ++i)
            names << list->itemText(i);
        return names;
    }

    std::string path = settingsFilePath();
    Settings shared{path};
    MainWindow w{shared, prompter, random};
};

TEST_F(SettingsWatchTest, ProfilesChangedFromTheCommandLineReachTheRunningWindowAndNoWriteIsLost) {
    auto* tabs = test::control<QTabWidget>(w, "tabMain");
    const int rounds = 200;
    const auto name = [](int round) {
        return u"Round %1"_s.arg(round);
    };
    for (int round = 0; round < rounds; ++round) {
        ASSERT_EQ(cli(u"add"_s, name(round),
                      [&] { // meanwhile the window saves its own settings, as a tab change does
                          test::control<QLineEdit>(w, "txtInterval1")->setText(QString::number(round + 1));
                          tabs->setCurrentIndex(round % 2 ? MainWindow::kSignatureTab
                                                          : MainWindow::kWallpaperTab);
                      }),
                  0);
        if (round > 0) {
            ASSERT_EQ(cli(u"remove"_s, name(round - 1)), 0);
        }
    }
    tabs->setCurrentIndex(MainWindow::kWallpaperTab);
    Settings check(path);
    EXPECT_EQ(listProfileNames(check), (std::vector<std::string>{"Home", name(rounds - 1).toStdString()}));
    EXPECT_EQ(check.readIniPlain("SETTINGS", "INTERVAL_1"), std::to_string(rounds));
    EXPECT_TRUE(QTest::qWaitFor([&] { return listed() == QStringList{u"Home"_s, name(rounds - 1)}; }, 5000));
}

TEST_F(SettingsWatchTest, TheWindowFollowsTheCurrentProfileAndAReplacedSettingsFolder) {
    const auto* savedAs = test::control<QLabel>(w, "lblSigSavedAs");
    const std::string output = dir.file("new.txt");
    Settings(path).writeIni("Profiles", "Sig File 1", output);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return savedAs->text().endsWith(QString::fromStdString(output)) && fs::exists(output); },
        5000));
    // A new header file: its entries are loaded.
    test::spit(dir.file("h2.txt"), "Bob\n");
    Settings(path).writeIni("Profiles", "Header File 1", dir.file("h2.txt"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return test::slurp(output).find("Bob") != std::string::npos; }, 5000));

    // The folder removed and made anew by the next change.
    fs::remove_all(fs::path(path).parent_path());
    EXPECT_EQ(cli(u"add"_s, u"Anew"_s), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return listed().contains(u"Anew"_s); }, 5000));
}

} // namespace
} // namespace quillmark
