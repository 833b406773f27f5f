#include "app/main_window.h"
#include "platform/app_folders.h"
#include "platform/file_io.h"
#include "profiles/profile_store.h"
#include "support/ui_fixture.h"

#include <QComboBox>
#include <QElapsedTimer>
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
    static int finish(QProcess& process) {
        // The exit may be handled inside processEvents, after which waitForFinished never
        // returns true again: the process's state tells.
        while (process.state() != QProcess::NotRunning && !process.waitForFinished(5))
            QCoreApplication::processEvents();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
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
        return finish(process);
    }
    static bool followed(const std::function<bool()>& done) {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < 5000)
            QTest::qWait(50);
        return done();
    }
    QStringList listed() const {
        QStringList names;
        for (const auto* list = test::control<QComboBox>(w, u"cmbProfile"_s); names.size() < list->count();)
            names << list->itemText(names.size());
        return names;
    }

    std::string path = settingsFilePath();
    Settings shared{path};
    MainWindow w{shared, prompter, random};
};

TEST_F(SettingsWatchTest, ProfilesChangedFromTheCommandLineReachTheRunningWindowAndNoWriteIsLost) {
    auto* tabs = test::control<QTabWidget>(w, u"tabMain"_s);
    const int rounds = 200;
    const auto name = [](int round) {
        return u"Round %1"_s.arg(round);
    };
    for (int round = 0; round < rounds; ++round) {
        ASSERT_EQ(cli(u"add"_s, name(round),
                      [&] { // meanwhile the window saves its own settings, as a tab change does
                          test::control<QLineEdit>(w, u"txtInterval1"_s)->setText(QString::number(round + 1));
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
    EXPECT_TRUE(followed([&] { return listed() == QStringList{u"Home"_s, name(rounds - 1)}; }));
}

TEST_F(SettingsWatchTest, TheWindowFollowsTheCurrentProfileAndAReplacedSettingsFolder) {
    const auto* savedAs = test::control<QLabel>(w, u"lblSigSavedAs"_s);
    const fs::path folder = fs::path(path).parent_path();
    const std::string output = dir.file("new.txt");
    test::spit(dir.file("h2.txt"), "Bob\n");
    const struct {
        const char* what;
        std::function<void()> change;
        std::function<bool()> followed;
    } rows[] = {
        {"the current profile's output file changed",
         [&] { Settings(path).writeIni("Profiles", "Sig File 1", output); },
         [&] {
             return savedAs->text().endsWith(QString::fromStdString(output)) && fs::exists(output);
         }},
        {"the current profile's header file changed: its entries are loaded",
         [&] { Settings(path).writeIni("Profiles", "Header File 1", dir.file("h2.txt")); },
         [&] {
             return test::slurp(output).find("Bob") != std::string::npos;
         }},
        {"the settings folder moved away and copied back",
         [&] {
             fs::rename(folder, dir.file("moved"));
             fs::copy(dir.file("moved"), folder, fs::copy_options::recursive);
             EXPECT_EQ(cli(u"add"_s, u"Copied back"_s), 0);
         },
         [&] {
             return listed().contains(u"Copied back"_s);
         }},
        {"the settings folder removed and made anew",
         [&] {
             fs::remove_all(folder);
             EXPECT_EQ(cli(u"add"_s, u"Made anew"_s), 0);
         },
         [&] {
             return listed().contains(u"Made anew"_s);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        row.change();
        EXPECT_TRUE(followed(row.followed));
    }
}

} // namespace
} // namespace quillmark
