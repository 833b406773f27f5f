#include "app/main_window.h"
#include "support/ui_fixture.h"
#include "tray/splash_window.h"
#include "ui/help.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>

namespace quillmark {
namespace {

using namespace Qt::StringLiterals;
using test::control;

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

TEST_F(MainWindowTest, SaveWritesEveryTabsControls) {
    prepareProfile();
    MainWindow& w = start();
    control<QLineEdit>(w, "txtInterval1")->setText(u"30"_s);
    for (const char* box : {"chkStretchWallpaper", "opnROT"})
        click(box);
    w.saveSettings();
    const std::string file = test::slurp(ini);
    for (const char* line : {"INTERVAL_1=30\n", "STRETCH TO FIT SCREEN=True\n", "LAST ENCRYPTION METHOD=0\n"})
        EXPECT_NE(file.find(line), std::string::npos) << line;
    EXPECT_TRUE(std::filesystem::exists(dir.file("config/autostart/Quillmark.desktop")));
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
    std::filesystem::create_directories(dir.file("my sigs"));
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
    // A new signature folder is in use at once: a new profile's default paths lie in it.
    prompter.paths = {QString::fromStdString(dir.file("my sigs"))};
    click("cmdBrowseSigPathDir");
    auto* list = control<QComboBox>(w, "cmbProfile");
    list->addItem(u"Fresh"_s, QByteArray("Fresh"));
    list->setCurrentIndex(list->count() - 1);
    EXPECT_EQ(control<QLineEdit>(w, "txtFile0")->text(),
              QString::fromStdString(dir.file("my sigs/header.txt")));
}

TEST_F(MainWindowTest, EveryWayOutAsksAndOnlyYesSavesAndRemovesTheTrayIcon) {
    prepareProfile();
    MainWindow& w = start();
    control<QLineEdit>(w, "txtInterval1")->setText(u"45"_s);
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
    }
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

    // A right click on the icon only opens its menu; a double click brings the window back.
    for (auto reason : {QSystemTrayIcon::Context, QSystemTrayIcon::DoubleClick}) {
        SCOPED_TRACE(reason);
        w.hide();
        emit tray.trayIcon()->activated(reason);
        EXPECT_EQ(w.isVisible(), reason == QSystemTrayIcon::DoubleClick);
    }
}

} // namespace
} // namespace quillmark
