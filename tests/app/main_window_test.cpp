#include "app/main_window.h"
#include "app/preferences_tab.h"
#include "platform/app_folders.h"
#include "profiles/profile_store.h"
#include "support/ui_fixture.h"
#include "tray/splash_window.h"
#include "ui/help.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSettings>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>

namespace quillmark {
namespace {

using namespace Qt::StringLiterals;
using test::control;
namespace fs = std::filesystem;

class MainWindowTest : public test::UiTest {
protected:
    MainWindowTest() {
        // Looked up once per process; start-up records the maker's information there.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(dir.file("config")));
    }
    void prepareProfile() {
        test::spit(dir.file("h.txt"), "Alice\n%\nBob\n");
        test::spit(dir.file("f.txt"), "one\r\n%\r\ntwo\r\n");
        test::spit(ini,
                   "; my settings\n[SETTINGS]\nINTERVAL_1=1\nBORING COLOUR SCHEME=True\n"
                   "LAST ENCRYPTION METHOD=1\n[Profiles]\nPROFILE 1=Home\nPROFILE 2=Work\nHEADER FILE 2=" +
                       dir.file("h.txt") + "\nFOOTER FILE 2=" + dir.file("f.txt") +
                       "\nSIG FILE 2=" + dir.file("sig.txt") + "\n[User]\nLAST PROFILE=work\n");
    }
    MainWindow& start() {
        window = std::make_unique<MainWindow>(settings, prompter, random);
        window->startUp();
        return *window;
    }
    void click(const char* name) {
        QTest::mouseClick(control<QAbstractButton>(*window, name), Qt::LeftButton);
    }
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, StartUpMakesTheLastProfileCurrentAndLoadsEveryTab) {
    prepareProfile();
    random.values = {0.0f, 0.99f};
    MainWindow& w = start();
    EXPECT_EQ(test::slurp(dir.file("sig.txt")), "-- \nAlice\ntwo\n");
    EXPECT_EQ(control<QComboBox>(w, "cmbProfile")->currentText(), u"Work"_s);
    EXPECT_TRUE(control<QTimer>(w, "tmr1")->isActive());
    EXPECT_TRUE(prompter.messages().empty());
    // Offscreen no tray shows the icon: hiding would leave no way back.
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    EXPECT_TRUE(w.isMinimized() && w.isVisible());
    w.showNormal();
    click("cmdHide");
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.isMinimized() && w.isVisible());
    const std::string after = test::slurp(ini);
    EXPECT_EQ(after.rfind("; my settings\n[SETTINGS]\nINTERVAL_1=1\n", 0), 0u);
    EXPECT_NE(after.find("LAST PROFILE=Work\n"), std::string::npos);
}

TEST_F(MainWindowTest, FirstRunWritesEveryDefaultInItsUsualOrder) {
    start();
    EXPECT_EQ(test::slurp(ini),
              "[User]\nLAST PROFILE=\n[Profiles]\nPROFILE 1=\n[Paths]\nDEFAULT SIG PATH=" + dir.path() +
                  "/data/Quillmark/Sigs\n[SETTINGS]\nINTERVAL_1=60\nSIG SEPARATOR CHARACTER=%\n"
                  "RUN AT BOOTUP=True\nSHOW SPLASH SCREEN=True\nBORING COLOUR SCHEME=False\n"
                  "ADD DASHES TO SIG HEADER=True\nWALLPAPER CHANGE AT STARTUP=False\n"
                  "DISPLAY PROPORTIONAL FONTS=True\nLAST ENCRYPTION METHOD=0\n"
                  "QUILLMARK RUN BEFORE=True\n[Wallpaper]\nSHRINK TO FIT SCREEN=True\n"
                  "STRETCH TO FIT SCREEN=False\n");
}

TEST_F(MainWindowTest, SeparatorAndFolderKeepTheirBytesThroughStartUpAndSave) {
    start();
    window->saveSettings();
    const std::string written = test::slurp(ini);
    const std::pair<const char*, const char*> cases[] = {
        {"\xA7", "\xA7"}, {"\xC2\xA7", "\xC2\xA7"}, {"#x", "#"}};
    for (const auto& [stored, separator] : cases) {
        SCOPED_TRACE(stored);
        std::string file = written;
        file.replace(file.find("CHARACTER=") + 10, 1, stored);
        const size_t path = file.find("SIG PATH=") + 9;
        file.replace(path, file.find('\n', path) - path, dir.file("Sigs \xE9t\xE9"));
        test::spit(ini, file);
        Settings fresh(ini);
        MainWindow w(fresh, prompter, random);
        w.startUp();
        w.saveSettings();
        EXPECT_EQ(test::slurp(ini), file);
        EXPECT_EQ(w.signatureState().separator, separator);
        EXPECT_EQ(w.sigPath(), dir.file("Sigs \xE9t\xE9"));
    }
}

TEST_F(MainWindowTest, PreferencesActOnTheWindowAtOnce) {
    prepareProfile();
    fs::create_directories(dir.file("my sigs"));
    MainWindow& w = start();
    // Once the window is in use, a new separator is announced; it counts from the next start.
    auto* separator = control<QLineEdit>(w, "txtSeparator");
    for (bool activated : {false, true}) {
        if (activated)
            QCoreApplication::sendEvent(&w, std::make_unique<QEvent>(QEvent::WindowActivate).get());
        separator->selectAll();
        QTest::keyClicks(separator, activated ? u"!"_s : u"#"_s);
        EXPECT_EQ(prompter.messages().size(), activated ? 1u : 0u);
    }
    EXPECT_EQ(w.signatureState().separator, "%");
    // quillmark-cli reads the separator and the dashes from the file: they are there at once.
    click("chkAddSigDashes");
    const std::string written = test::slurp(ini);
    EXPECT_NE(written.find("SIG SEPARATOR CHARACTER=!"), std::string::npos) << written;
    EXPECT_NE(written.find("ADD DASHES TO SIG HEADER=False"), std::string::npos) << written;
    // Browse starts at the shown folder and takes only an existing choice, in use at once.
    prompter.paths = {QString::fromStdString(dir.file("my sigs")), QString(),
                      QString::fromStdString(dir.file("gone"))};
    for (int i = 0; i < 3; ++i)
        click("cmdBrowseSigPathDir");
    EXPECT_EQ(prompter.calls.back().path, QString::fromStdString(dir.file("my sigs")));
    EXPECT_EQ(settings.readIniPlain("Paths", "Default Sig Path"), dir.file("my sigs"));
    auto* list = control<QComboBox>(w, "cmbProfile");
    list->addItem(u"Fresh"_s, QByteArray("Fresh"));
    list->setCurrentIndex(list->count() - 1);
    EXPECT_EQ(control<QLineEdit>(w, "txtFile0")->text(),
              QString::fromStdString(dir.file("my sigs/header.txt")));
}

TEST_F(MainWindowTest, EveryWayOutAsksAndOnlyYesSavesEveryTabAndRemovesTheTrayIcon) {
    prepareProfile();
    MainWindow& w = start();
    control<QLineEdit>(w, "txtInterval1")->setText(u"45"_s);
    for (const char* box : {"chkStretchWallpaper", "opnROT"})
        click(box);
    const struct {
        const char* what;
        std::function<void()> ask;
        Prompter::Answer answer;
    } rows[] = {{"the close box", [&w] { w.close(); }, Prompter::Answer::No},
                {"the menu bar's Exit", [&w] { control<QAction>(w, "mnuExit")->trigger(); },
                 Prompter::Answer::Cancel},
                {"the tray's Exit", [&w] { control<QAction>(*w.splash(), "mPopExit")->trigger(); },
                 Prompter::Answer::Yes}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        prompter.answers = {row.answer};
        row.ask();
        QCoreApplication::processEvents();
        EXPECT_EQ(prompter.calls.back().title, u"Exit Quillmark"_s);
        const bool yes = row.answer == Prompter::Answer::Yes;
        EXPECT_EQ(w.splash() == nullptr, yes);
        EXPECT_TRUE(yes || w.isVisible());
        EXPECT_EQ(settings.readIniPlain("SETTINGS", "INTERVAL_1"), yes ? "45" : "1");
        EXPECT_EQ(settings.readIniPlain("Wallpaper", "STRETCH TO FIT SCREEN"), yes ? "-1" : "0");
        EXPECT_EQ(settings.readIniPlain("SETTINGS", "LAST ENCRYPTION METHOD"), yes ? "0" : "1");
    }
    EXPECT_TRUE(fs::exists(dir.file("config/autostart/Quillmark.desktop")));
}

TEST_F(MainWindowTest, StopRequestDuringAStartUpBoxKeepsTheUsersSettings) {
    prepareProfile();
    settings.writeIni("SETTINGS", "Quillmark Run Before", false);
    setHelpFolder(QString::fromStdString(dir.file("no help here")));
    MainWindow w(settings, prompter, random);
    // The missing quick-start page's box is open when the request comes.
    prompter.whileOpen = [&w](const test::ScriptedPrompter::Call&) {
        w.endSession();
    };
    w.startUp();
    setHelpFolder({});
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(settings.readIniPlain("SETTINGS", "Last Encryption Method"), "1");
    EXPECT_EQ(settings.readIniPlain("SETTINGS", "Boring Colour Scheme"), "-1");
    EXPECT_FALSE(control<QTimer>(w, "tmr1")->isActive());
    EXPECT_EQ(test::slurp(dir.file("sig.txt")), "");
}

TEST_F(MainWindowTest, MenuAndTrayCommandsReachTheWindow) {
    prepareProfile();
    random.values = {0.0f, 0.99f, 0.99f, 0.0f};
    MainWindow& w = start();
    SplashWindow& tray = *w.splash();
    control<QAction>(tray, "mnuNextSig")->trigger();
    EXPECT_EQ(test::slurp(dir.file("sig.txt")), "-- \nBob\none\n");

    const auto profiles = tray.findChildren<QAction*>(u"mnuProfile"_s);
    EXPECT_TRUE(profiles[2]->isChecked());
    profiles[1]->trigger();
    EXPECT_TRUE(profiles[1]->isChecked() && !profiles[2]->isChecked());
    EXPECT_EQ(settings.readIniPlain("User", "Last Profile"), "Home");
}

class PreferencesTabTest : public test::UiTest {
protected:
    PreferencesTabTest() {
        fs::create_directories(dir.file("sigs a"));
        fs::create_directories(dir.file("sigs b"));
        settings.writeIni("Paths", "Default Sig Path", dir.file("sigs a"));
        tab.loadSigPath();
        tab.loadSettings(settings);
        tab.show();
    }
    QLineEdit* box(const char* name) { return control<QLineEdit>(tab, name); }
    void leave(QLineEdit* box, Qt::FocusReason how = Qt::TabFocusReason) {
        QFocusEvent event(QEvent::FocusOut, how);
        QCoreApplication::sendEvent(box, &event);
    }

    PreferencesTab tab{settings, prompter};
};

TEST_F(PreferencesTabTest, LeftBoxesTakeTheFolderItsParentOrNothingAndAnEmptySeparatorIsPercent) {
    const struct {
        std::string typed, shown, stored;
    } cases[] = {
        {dir.file("sigs b/"), dir.file("sigs b/"), dir.file("sigs b")},
        {dir.file("sigs a/new folder"), dir.file("sigs a"), dir.file("sigs a")},
        {dir.file("missing/deeper"), dir.file("sigs a"), dir.file("sigs a")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        box("txtSigPath")->setText(QString::fromStdString(c.typed));
        leave(box("txtSigPath"));
        EXPECT_EQ(box("txtSigPath")->text().toStdString(), c.shown);
        EXPECT_EQ(settings.readIniPlain("Paths", "Default Sig Path"), c.stored);
        EXPECT_EQ(tab.sigPath(), c.stored);
    }
    // An emptied separator box is "%" again once left.
    box("txtSeparator")->clear();
    leave(box("txtSeparator"), Qt::MouseFocusReason);
    EXPECT_EQ(box("txtSeparator")->text(), u"%"_s);
}

// The window and quillmark-cli share one settings file, as on a user's desktop.
class SettingsWatchTest : public MainWindowTest {
protected:
    SettingsWatchTest() {
        EXPECT_TRUE(makeFoldersFor(path));
        test::spit(dir.file("h.txt"), "Ann\n");
        test::spit(path, "[Profiles]\nPROFILE 1=Home\nHEADER FILE 1=" + dir.file("h.txt") +
                             "\nSIG FILE 1=" + dir.file("sig.txt") + "\n");
        w.startUp();
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
        // Once processEvents has handled the exit, waitForFinished never returns true again.
        while (process.state() != QProcess::NotRunning && !process.waitForFinished(5))
            QCoreApplication::processEvents();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    std::string path = settingsFilePath();
    Settings shared{path};
    MainWindow w{shared, prompter, random};
};

TEST_F(SettingsWatchTest, ProfilesChangedFromTheCommandLineReachTheRunningWindowAndNoWriteIsLost) {
    auto* tabs = control<QTabWidget>(w, "tabMain");
    const int rounds = 200;
    const auto name = [](int round) {
        return u"Round %1"_s.arg(round);
    };
    for (int round = 0; round < rounds; ++round) {
        ASSERT_EQ(cli(u"add"_s, name(round),
                      [&] { // meanwhile the window saves its own settings, as a tab change does
                          control<QLineEdit>(w, "txtInterval1")->setText(QString::number(round + 1));
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
    const auto* list = control<QComboBox>(w, "cmbProfile");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return list->count() == 2 && list->findText(name(rounds - 1)) >= 0; }, 5000));
}

TEST_F(SettingsWatchTest, TheWindowFollowsTheCurrentProfilesFiles) {
    const auto* savedAs = control<QLabel>(w, "lblSigSavedAs");
    const std::string output = dir.file("new.txt");
    Settings(path).writeIni("Profiles", "Sig File 1", output);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return savedAs->text().endsWith(QString::fromStdString(output)) && fs::exists(output); },
        5000));
    test::spit(dir.file("h2.txt"), "Bob\n");
    Settings(path).writeIni("Profiles", "Header File 1", dir.file("h2.txt"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return test::slurp(output).find("Bob") != std::string::npos; }, 5000));
}

} // namespace
} // namespace quillmark
