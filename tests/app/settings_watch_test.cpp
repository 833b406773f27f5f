#include "app/main_window.h"
#include "platform/app_folders.h"
#include "platform/file_io.h"
#include "profiles/profile_store.h"
#include "support/ui_fixture.h"

#include <QComboBox>
#include <QCoreApplication>
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
        // The exit may be handled inside processEvents, after which waitForFinished never
        // returns true again: the process's state tells.
        while (process.state() != QProcess::NotRunning && !process.waitForFinished(5))
            QCoreApplication::processEvents();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    // The settings file with one profile, "Home", which the window makes current.
    std::string writeHomeProfile() {
        const std::string path = settingsFilePath();
        EXPECT_TRUE(makeFoldersFor(path));
        test::spit(dir.file("h.txt"), "Ann\n");
        test::spit(dir.file("f.txt"), "one\n%\ntwo\n");
        test::spit(path, "[Profiles]\nPROFILE 1=Home\nHEADER FILE 1=" + dir.file("h.txt") +
                             "\nFOOTER FILE 1=" + dir.file("f.txt") + "\nSIG FILE 1=" + dir.file("sig.txt") +
                             "\n");
        return path;
    }

    // Adds a profile as the user would from a terminal.
    int cliAdd(const QString& name) {
        return cli({QStringLiteral("profile"), QStringLiteral("add"), name, QStringLiteral("--header"),
                    QString::fromStdString(dir.file("h.txt")), QStringLiteral("--footer"),
                    QString::fromStdString(dir.file("f.txt")), QStringLiteral("--output"),
                    QString::fromStdString(dir.file("out.txt"))});
    }

    QStringList listed(const MainWindow& w) const {
        QStringList names;
        const auto* list = w.findChild<QComboBox*>(QStringLiteral("cmbProfile"));
        for (int i = 0; i < list->count(); ++i)
            names << list->itemText(i);
        return names;
    }
};

TEST_F(SettingsWatchTest, ProfilesChangedFromTheCommandLineReachTheRunningWindowAndNoWriteIsLost) {
    const std::string path = writeHomeProfile();
    const QString header = QString::fromStdString(dir.file("h.txt"));
    const QString footer = QString::fromStdString(dir.file("f.txt"));
    Settings shared(path);
    MainWindow w(shared, prompter, random);
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
        tabs->setCurrentIndex(round % 2 == 0 ? MainWindow::kWallpaperTab : MainWindow::kSignatureTab);
        while (add.state() != QProcess::NotRunning && !add.waitForFinished(5))
            QCoreApplication::processEvents();
        ASSERT_EQ(add.exitCode(), 0) << add.readAllStandardError().toStdString();
        if (round > 0) {
            ASSERT_EQ(cli({QStringLiteral("profile"), QStringLiteral("remove"), name(round - 1)}), 0);
        }
    }
    tabs->setCurrentIndex(MainWindow::kWallpaperTab);

    Settings check(path);
    const std::vector<std::string> stored = listProfileNames(check);
    EXPECT_EQ(stored, (std::vector<std::string>{"Home", name(rounds - 1).toStdString()}));
    EXPECT_EQ(check.readIniPlain("SETTINGS", "INTERVAL_1"), std::to_string(rounds));

    const QStringList expected{QStringLiteral("Home"), name(rounds - 1)};
    QElapsedTimer waited;
    waited.start();
    while (listed(w) != expected && waited.elapsed() < 5000)
        QTest::qWait(50);
    EXPECT_EQ(listed(w), expected);
}

TEST_F(SettingsWatchTest, TheWindowFollowsTheCurrentProfileAndAReplacedSettingsFolder) {
    const std::string path = writeHomeProfile();
    Settings shared(path);
    MainWindow w(shared, prompter, random);
    w.startUp();
    const auto* savedAs = w.findChild<QLabel*>(QStringLiteral("lblSigSavedAs"));
    namespace fs = std::filesystem;
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
             EXPECT_EQ(cliAdd(QStringLiteral("Copied back")), 0);
         },
         [&] {
             return listed(w).contains(QStringLiteral("Copied back"));
         }},
        {"the settings folder removed and made anew",
         [&] {
             fs::remove_all(folder);
             EXPECT_EQ(cliAdd(QStringLiteral("Made anew")), 0);
         },
         [&] {
             return listed(w).contains(QStringLiteral("Made anew"));
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        row.change();
        QElapsedTimer waited;
        waited.start();
        while (!row.followed() && waited.elapsed() < 5000)
            QTest::qWait(50);
        EXPECT_TRUE(row.followed());
    }
}

} // namespace
} // namespace quillmark
