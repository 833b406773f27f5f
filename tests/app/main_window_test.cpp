#include "app/main_window.h"
#include "editor/editor_window.h"
#include "profiles/new_profile_dialog.h"
#include "support/ui_fixture.h"
#include "tray/splash_window.h"
#include "ui/about_box.h"
#include "ui/appearance.h"
#include "ui/help.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <vector>

namespace quillmark {
namespace {

template <typename T> T* control(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// The accelerators that clash in a window. Reachable at one time are the letters of the menu
// bar, the tab captions and the buttons outside the pages, with those of one page (a tab, a
// wizard page). A row of like buttons (cmdBrowse0 to 2) is one control.
QStringList acceleratorClashes(const QWidget& window, QList<QWidget*> pages) {
    QStringList shown;
    if (const auto* main = qobject_cast<const QMainWindow*>(&window))
        for (const QAction* menu : main->menuBar()->actions())
            shown << menu->text();
    for (const QTabWidget* tabs : window.findChildren<QTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i) {
            shown << tabs->tabText(i);
            pages << tabs->widget(i);
        }
    QStringList clashes;
    for (qsizetype i = 0; i < std::max<qsizetype>(pages.size(), 1); ++i) {
        QList<std::pair<QString, QString>> reachable; // owner, caption
        for (const QString& text : shown)
            reachable.append({text, text});
        for (QAbstractButton* b : window.findChildren<QAbstractButton*>()) {
            const auto page =
                std::find_if(pages.begin(), pages.end(), [b](auto* p) { return p->isAncestorOf(b); });
            if (page == pages.end() || page - pages.begin() == i)
                reachable.append(
                    {b->objectName().remove(QRegularExpression(QStringLiteral("\\d+$"))), b->text()});
        }
        std::map<QChar, QSet<QString>> owners;
        for (const auto& [owner, text] : reachable) {
            const qsizetype at =
                QString(text).replace(QStringLiteral("&&"), QStringLiteral("__")).indexOf(u'&');
            if (at >= 0 && at + 1 < text.size())
                owners[text[at + 1].toUpper()] << owner;
        }
        for (const auto& [key, names] : owners)
            if (names.size() > 1)
                clashes << QStringLiteral("%1 page %2: Alt+%3 on ").arg(window.objectName()).arg(i).arg(key) +
                               QStringList(names.begin(), names.end()).join(u',');
    }
    return clashes;
}

// The keys of one section of a settings file, in file order.
std::vector<std::string> keysOfSection(const std::string& file, const std::string& section) {
    std::vector<std::string> keys;
    std::istringstream in(file);
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.front() == '[')
            inside = line == "[" + section + "]";
        else if (inside && line.find('=') != std::string::npos)
            keys.push_back(line.substr(0, line.find('=')));
    }
    return keys;
}

// The main window with the first-run wizard's starting point counted.
class WatchedMain : public MainWindow {
public:
    using MainWindow::MainWindow;
    int wizardStarts = 0;
    bool visibleAtWizard = false;

protected:
    void startFirstRunWizard() override {
        ++wizardStarts;
        visibleAtWizard = isVisible();
    }
};

class MainWindowTest : public test::UiTest {
protected:
    MainWindowTest() {
        // QSettings looks the configuration folder up once per process; start-up records the
        // maker's information there, in this test's folder.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(dir.file("config")));
    }
    void prepareProfile() {
        test::spit(dir.file("h.txt"), "Alice\n%\nBob\n");
        test::spit(dir.file("f.txt"), "one\r\n%\r\ntwo\r\n");
        test::spit(ini, "; my settings\n[SETTINGS]\nINTERVAL_1=1\nBORING COLOUR SCHEME=True\n"
                        "LAST ENCRYPTION METHOD=1\n[Profiles]\nPROFILE 1=Home\nPROFILE 2=Work\n"
                        "HEADER FILE 2=" +
                            dir.file("h.txt") + "\nFOOTER FILE 2=" + dir.file("f.txt") +
                            "\nSIG FILE 2=" + dir.file("sig.txt") + "\n[User]\nLAST PROFILE=work\n");
    }
};

TEST_F(MainWindowTest, StartUpMakesTheLastProfileCurrentAndWritesASignature) {
    prepareProfile();
    random.values = {0.0f, 0.99f};
    MainWindow w(settings, prompter, random);
    w.startUp();
    EXPECT_EQ(test::slurp(dir.file("sig.txt")), "-- \nAlice\ntwo\n");
    EXPECT_EQ(control<QComboBox>(w, "cmbProfile")->currentText(), QStringLiteral("Work"));
    EXPECT_EQ(w.lastProfile(), "Work");
    EXPECT_TRUE(control<QTimer>(w, "tmr1")->isActive());
    EXPECT_FALSE(control<QTabWidget>(w, "tabMain")->isTabEnabled(MainWindow::kEmailTab));
    EXPECT_EQ(control<QLineEdit>(w, "txtInterval1")->text(), QStringLiteral("1"));
    EXPECT_TRUE(control<QCheckBox>(w, "chkBoring")->isChecked());
    EXPECT_FALSE(w.decorativeScheme());
    EXPECT_TRUE(control<QRadioButton>(w, "opnPassword")->isChecked());
    EXPECT_TRUE(prompter.messages().empty());
    // The comment and the user's lines survive the start-up writes.
    const std::string after = test::slurp(ini);
    EXPECT_EQ(after.rfind("; my settings\n[SETTINGS]\nINTERVAL_1=1\n", 0), 0u);
    EXPECT_NE(after.find("LAST PROFILE=Work"), std::string::npos);
}

TEST_F(MainWindowTest, FirstRunStoresDefaultsInTheirUsualOrder) {
    MainWindow w(settings, prompter, random);
    w.startUp();
    const std::string file = test::slurp(ini);
    for (const char* line :
         {"INTERVAL_1=60", "SIG SEPARATOR CHARACTER=%", "RUN AT BOOTUP=True", "BORING COLOUR SCHEME=False",
          "DISPLAY PROPORTIONAL FONTS=True", "LAST ENCRYPTION METHOD=0", "LAST PROFILE=", "PROFILE 1="})
        EXPECT_NE(file.find(std::string(line) + "\n"), std::string::npos) << line;
    const std::vector<std::string> settingsKeys = {"INTERVAL_1",
                                                   "SIG SEPARATOR CHARACTER",
                                                   "RUN AT BOOTUP",
                                                   "SHOW SPLASH SCREEN",
                                                   "BORING COLOUR SCHEME",
                                                   "ADD DASHES TO SIG HEADER",
                                                   "WALLPAPER CHANGE AT STARTUP",
                                                   "DISPLAY PROPORTIONAL FONTS",
                                                   "LAST ENCRYPTION METHOD",
                                                   "QUILLMARK RUN BEFORE"};
    EXPECT_EQ(keysOfSection(file, "SETTINGS"), settingsKeys);
    EXPECT_EQ(keysOfSection(file, "Wallpaper"),
              (std::vector<std::string>{"SHRINK TO FIT SCREEN", "STRETCH TO FIT SCREEN"}));
    EXPECT_LT(file.find("[User]"), file.find("[Paths]"));
    EXPECT_LT(file.find("[Paths]"), file.find("[SETTINGS]"));
    EXPECT_EQ(control<QComboBox>(w, "cmbProfile")->count(), 0);
}

TEST_F(MainWindowTest, SaveWritesEveryTabsControls) {
    prepareProfile();
    MainWindow w(settings, prompter, random);
    w.startUp();
    auto* interval = control<QLineEdit>(w, "txtInterval1");
    interval->selectAll();
    QTest::keyClicks(interval, QStringLiteral("30"));
    for (const char* box : {"chkStartUp", "chkProportional", "chkBoring", "chkShrinkWallpaper",
                            "chkStretchWallpaper", "chkWallpaperOnStartup"})
        QTest::mouseClick(control<QCheckBox>(w, box), Qt::LeftButton);
    QTest::mouseClick(control<QRadioButton>(w, "opnROT"), Qt::LeftButton);
    w.saveSettings();
    const std::string file = test::slurp(ini);
    for (const char* line :
         {"INTERVAL_1=30", "RUN AT BOOTUP=False", "DISPLAY PROPORTIONAL FONTS=0",
          "BORING COLOUR SCHEME=False", "LAST ENCRYPTION METHOD=0", "SHRINK TO FIT SCREEN=False",
          "STRETCH TO FIT SCREEN=True", "WALLPAPER CHANGE AT STARTUP=True", "SHOW SPLASH SCREEN=True"})
        EXPECT_NE(file.find(std::string(line) + "\n"), std::string::npos) << line;
    EXPECT_TRUE(w.decorativeScheme());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.path() + "/config/autostart/Quillmark.desktop")));
    QTest::mouseClick(control<QCheckBox>(w, "chkStartUp"), Qt::LeftButton);
    QTest::mouseClick(control<QCheckBox>(w, "chkProportional"), Qt::LeftButton);
    w.saveSettings();
    EXPECT_NE(test::slurp(ini).find("DISPLAY PROPORTIONAL FONTS=1\n"), std::string::npos);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(dir.path() + "/config/autostart/Quillmark.desktop")));
}

TEST_F(MainWindowTest, SeparatorAndFolderKeepTheirBytesThroughStartUpAndSave) {
    {
        MainWindow first(settings, prompter, random);
        first.startUp();
        first.saveSettings();
    }
    const std::string written = test::slurp(ini);
    const struct {
        const char* stored;
        const char* separator;
    } cases[] = {{"\xA7", "\xA7"}, {"\xC2\xA7", "\xC2\xA7"}, {"\xA7\xA7", "\xA7"}, {"#x", "#"}};
    for (const auto& c : cases) {
        std::string file = written;
        const std::string line = "SIG SEPARATOR CHARACTER=";
        const size_t at = file.find(line) + line.size();
        file.replace(at, 1, c.stored);
        const size_t path = file.find("DEFAULT SIG PATH=") + 17;
        file.replace(path, file.find('\n', path) - path, dir.file("Sigs \xE9t\xE9"));
        test::spit(ini, file);
        Settings fresh(ini);
        MainWindow w(fresh, prompter, random);
        w.startUp();
        w.saveSettings();
        EXPECT_EQ(test::slurp(ini), file) << c.stored;
        EXPECT_EQ(w.signatureState().separator, c.separator) << c.stored;
        EXPECT_EQ(w.sigPath(), dir.file("Sigs \xE9t\xE9"));
    }
}

TEST_F(MainWindowTest, PreferencesActOnTheWindowAtOnce) {
    prepareProfile();
    std::filesystem::create_directories(dir.file("my sigs"));
    MainWindow w(settings, prompter, random);
    w.startUp();
    auto* separator = control<QLineEdit>(w, "txtSeparator");
    ASSERT_FALSE(w.activated());
    separator->selectAll();
    QTest::keyClicks(separator, QStringLiteral("#"));
    EXPECT_TRUE(prompter.messages().empty());
    QCoreApplication::sendEvent(&w, std::make_unique<QEvent>(QEvent::WindowActivate).get());
    separator->selectAll();
    QTest::keyClicks(separator, QStringLiteral("!"));
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text,
              QStringLiteral("This will not take effect until the next time you run Quillmark."));
    EXPECT_EQ(prompter.messages()[0].icon, Prompter::Icon::Information);
    EXPECT_EQ(w.signatureState().separator, "%");

    auto* preview = control<QPlainTextEdit>(w, "txtSig");
    EXPECT_EQ(preview->font().family(), QStringLiteral("Arial"));
    QTest::mouseClick(control<QCheckBox>(w, "chkProportional"), Qt::LeftButton);
    EXPECT_EQ(preview->font().family(), QStringLiteral("Courier New"));

    // A new signature folder is in use at once: a new profile's default paths lie in it.
    prompter.paths = {QString::fromStdString(dir.file("my sigs"))};
    QTest::mouseClick(control<QPushButton>(w, "cmdBrowseSigPathDir"), Qt::LeftButton);
    EXPECT_EQ(w.sigPath(), dir.file("my sigs"));
    auto* list = control<QComboBox>(w, "cmbProfile");
    list->addItem(QStringLiteral("Fresh"), QByteArray("Fresh"));
    list->setCurrentIndex(list->count() - 1);
    EXPECT_EQ(control<QLineEdit>(w, "txtFile0")->text(),
              QString::fromStdString(dir.file("my sigs/header.txt")));
}

TEST_F(MainWindowTest, ClosingAsksAndOnlyYesSaves) {
    prepareProfile();
    MainWindow w(settings, prompter, random);
    w.startUp();
    control<QLineEdit>(w, "txtInterval1")->setText(QStringLiteral("45"));
    prompter.answers = {Prompter::Answer::No};
    QCloseEvent refused;
    QCoreApplication::sendEvent(&w, &refused);
    EXPECT_FALSE(refused.isAccepted());
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("Are you sure you want to close Quillmark?"));
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Exit Quillmark"));
    EXPECT_EQ(settings.readIniPlain("SETTINGS", "INTERVAL_1"), "1");

    // The session ending saves without a question.
    w.endSession();
    EXPECT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(settings.readIniPlain("SETTINGS", "INTERVAL_1"), "45");
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
    EXPECT_TRUE(prompter.messages()[0].text.startsWith(QStringLiteral("Help file not found.")));
    EXPECT_EQ(settings.readIniPlain("SETTINGS", "Last Encryption Method"), "1");
    EXPECT_EQ(settings.readIniPlain("SETTINGS", "Boring Colour Scheme"), "-1");
    EXPECT_EQ(settings.readIniPlain("SETTINGS", "Display Proportional Fonts"), "1");
    // Start-up stops there: no signature, no timer.
    EXPECT_FALSE(control<QTimer>(w, "tmr1")->isActive());
    EXPECT_EQ(test::slurp(dir.file("sig.txt")), "");
}

TEST_F(MainWindowTest, FirstRunShowsTheWindowAndStartsTheWizard) {
    WatchedMain w(settings, prompter, random);
    w.startUp();
    EXPECT_EQ(w.wizardStarts, 1);
    EXPECT_TRUE(w.visibleAtWizard) << "the window is shown first, so the wizard opens in front of it";
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isMinimized());
    // The tray window stays for the icon; the splash is gone at the end of start-up.
    ASSERT_NE(w.splash(), nullptr);
    EXPECT_TRUE(w.splash()->isHidden());
    EXPECT_EQ(w.splash()->trayIcon()->toolTip(), QStringLiteral("Quillmark"));
    const std::string maker = test::slurp(dir.file("config/Halvrene/Quillmark.conf"));
    for (const char* name : {"Author=", "Web=", "Mail="})
        EXPECT_NE(maker.find(name), std::string::npos) << name;
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(MainWindowTest, WithAProfileTheWindowStartsMinimisedAndStaysReachableWithoutATray) {
    prepareProfile();
    WatchedMain w(settings, prompter, random);
    w.startUp();
    EXPECT_EQ(w.wizardStarts, 0);
    // Offscreen there is no tray: hiding would leave no way back, so it waits in the task bar.
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    EXPECT_TRUE(w.isMinimized());
    EXPECT_TRUE(w.isVisible());
    // The tray menu was there before the profiles were listed: it holds them, the current one checked.
    SplashWindow* tray = w.splash();
    ASSERT_NE(tray, nullptr);
    ASSERT_EQ(tray->profileItemCount(), 3);
    EXPECT_EQ(tray->profileItemCaption(1), QStringLiteral("Home"));
    EXPECT_EQ(tray->profileItemCaption(2), QStringLiteral("Work"));
    EXPECT_FALSE(tray->findChildren<QAction*>(QStringLiteral("mnuProfile"))[1]->isChecked());
    EXPECT_TRUE(tray->findChildren<QAction*>(QStringLiteral("mnuProfile"))[2]->isChecked());

    // Minimising again (the Hide button) keeps the window reachable as well.
    w.showNormal();
    QTest::mouseClick(control<QPushButton>(w, "cmdHide"), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.isMinimized());
    EXPECT_TRUE(w.isVisible());
}

TEST_F(MainWindowTest, SplashShowsDuringStartUpOnlyWhenAskedFor) {
    // The profile's header is a folder: start-up stops at a message box while loading it,
    // after the splash was loaded and before it is hidden.
    std::filesystem::create_directories(dir.file("folder"));
    for (const char* flag : {"True", "False"}) {
        test::spit(ini, std::string("[SETTINGS]\nSHOW SPLASH SCREEN=") + flag +
                            "\n[Profiles]\nPROFILE 1=Home\nHEADER FILE 1=" + dir.file("folder") +
                            "\nSIG FILE 1=" + dir.file("sig.txt") + "\n");
        Settings fresh(ini);
        test::ScriptedPrompter asked;
        MainWindow w(fresh, asked, random);
        bool splashSeen = false;
        asked.whileOpen = [&w, &splashSeen](const test::ScriptedPrompter::Call&) {
            splashSeen = w.splash() != nullptr && w.splash()->isVisible();
        };
        w.startUp();
        ASSERT_FALSE(asked.messages().empty()) << flag;
        EXPECT_EQ(splashSeen, std::string(flag) == "True") << flag;
        EXPECT_TRUE(w.splash()->isHidden()) << flag;
        EXPECT_NE(test::slurp(ini).find("SHOW SPLASH SCREEN=" + std::string(flag) + "\n"), std::string::npos)
            << "the flag is left as the user set it";
    }
}

TEST_F(MainWindowTest, MenuBarOffersExitHelpAndAbout) {
    MainWindow w(settings, prompter, random);
    w.startUp();
    setHelpFolder(QString::fromStdString(dir.file("no help here")));
    control<QAction>(w, "mnuHelp")->trigger();
    setHelpFolder({});
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_TRUE(
        prompter.messages()[0].text.contains(QString::fromStdString(dir.file("no help here/index.htm"))));

    // About twice, once from the tray: one About window.
    control<QAction>(w, "mnuAbout")->trigger();
    AboutBox* about = AboutBox::current();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    control<QAction>(w, "mnuAbout")->trigger();
    control<QAction>(*w.splash(), "mnuAbout")->trigger();
    EXPECT_EQ(AboutBox::current(), about);
    delete about;
}

TEST_F(MainWindowTest, EveryWindowHasUniqueAccelerators) {
    MainWindow w(settings, prompter, random); // no profile yet: the wizard opens too
    w.startUp();
    QWidget* wizard = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        wizard = top->objectName() == QStringLiteral("frmWizard") ? top : wizard;
    ASSERT_NE(wizard, nullptr);
    const std::unique_ptr<QWidget> ownWizard(wizard);
    const EditorWindow editor(prompter);
    const NewProfileDialog newProfile(prompter, {});
    const std::unique_ptr<AboutBox> about(AboutBox::showAbout(prompter));
    const std::pair<const QWidget*, QList<QWidget*>> windows[] = {
        {&w, {}},
        {wizard, wizard->findChildren<QWidget*>(QRegularExpression(QStringLiteral("^pnl")))},
        {&editor, {}},
        {&newProfile, {}},
        {about.get(), {}}};
    for (const auto& [window, pages] : windows) {
        const QStringList clashes = acceleratorClashes(*window, pages);
        EXPECT_TRUE(clashes.isEmpty()) << clashes.join(u'\n').toStdString();
    }
}

TEST_F(MainWindowTest, ExitAsksAndOnlyYesSavesAndRemovesTheTrayIcon) {
    prepareProfile();
    MainWindow w(settings, prompter, random);
    w.startUp();
    control<QLineEdit>(w, "txtInterval1")->setText(QStringLiteral("45"));

    // The menu bar's Exit: No keeps everything as it was.
    prompter.answers = {Prompter::Answer::No};
    control<QAction>(w, "mnuExit")->trigger();
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("Are you sure you want to close Quillmark?"));
    EXPECT_EQ(prompter.messages()[0].buttons, Prompter::Buttons::YesNoCancel);
    EXPECT_NE(w.splash(), nullptr);
    EXPECT_EQ(settings.readIniPlain("SETTINGS", "INTERVAL_1"), "1");

    // The tray's Exit: Cancel keeps it running too, Yes saves and takes the icon away.
    prompter.answers = {Prompter::Answer::Cancel};
    control<QAction>(*w.splash(), "mPopExit")->trigger();
    QCoreApplication::processEvents();
    ASSERT_EQ(prompter.messages().size(), 2u);
    ASSERT_NE(w.splash(), nullptr);
    prompter.answers = {Prompter::Answer::Yes};
    control<QAction>(*w.splash(), "mPopExit")->trigger();
    QCoreApplication::processEvents();
    ASSERT_EQ(prompter.messages().size(), 3u);
    EXPECT_EQ(w.splash(), nullptr);
    EXPECT_EQ(settings.readIniPlain("SETTINGS", "INTERVAL_1"), "45");
}

TEST_F(MainWindowTest, TrayCommandsReachTheWindow) {
    prepareProfile();
    random.values = {0.0f, 0.99f, 0.99f, 0.0f};
    MainWindow w(settings, prompter, random);
    w.startUp();
    ASSERT_EQ(test::slurp(dir.file("sig.txt")), "-- \nAlice\ntwo\n");
    SplashWindow* tray = w.splash();
    ASSERT_NE(tray, nullptr);

    control<QAction>(*tray, "mnuNextSig")->trigger();
    EXPECT_EQ(test::slurp(dir.file("sig.txt")), "-- \nBob\none\n");
    control<QAction>(*tray, "mnuCopy")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("-- \nBob\none"));

    tray->findChildren<QAction*>(QStringLiteral("mnuProfile"))[1]->trigger();
    EXPECT_EQ(control<QLabel>(w, "lblCurrentProfile")->text(), QStringLiteral("Current Profile: Home"));
    EXPECT_TRUE(tray->findChildren<QAction*>(QStringLiteral("mnuProfile"))[1]->isChecked());
    EXPECT_FALSE(tray->findChildren<QAction*>(QStringLiteral("mnuProfile"))[2]->isChecked());
    EXPECT_EQ(settings.readIniPlain("User", "Last Profile"), "Home");

    w.hide();
    control<QAction>(*tray, "mPopRestore")->trigger();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isMinimized());
}

TEST_F(MainWindowTest, AStatusMessageMovesNoControl) {
    prepareProfile();
    MainWindow w(settings, prompter, random);
    w.startUp();
    w.showNormal();
    QCoreApplication::processEvents();
    auto* hide = control<QPushButton>(w, "cmdHide");
    const QRect before(hide->mapTo(&w, QPoint()), hide->size());
    w.statusBar()->showMessage(QStringLiteral("Wallpaper changed"));
    QCoreApplication::processEvents();
    EXPECT_EQ(QRect(hide->mapTo(&w, QPoint()), hide->size()), before);
}

TEST_F(MainWindowTest, BoringBoxSwitchesTheSchemeAtOnce) {
    prepareProfile(); // starts in the boring scheme
    const AppearanceTemplates looks(QStringLiteral(QUILLMARK_LOOKS_SOURCE_DIR));
    MainWindow w(settings, prompter, random);
    w.startUp();
    w.showNormal();
    auto* image1 = control<QLabel>(w, "Image1");
    auto* hide = control<QPushButton>(w, "cmdHide");
    const QPoint corner(2, w.height() - 2); // window background, beside the Hide button
    EXPECT_TRUE(image1->pixmap().isNull());
    EXPECT_EQ(hide->font().family(), designFont(DesignFont::MsSansSerif).family());
    EXPECT_EQ(w.grab().toImage().pixelColor(corner), w.palette().color(QPalette::Window));

    QTest::mouseClick(control<QCheckBox>(w, "chkBoring"), Qt::LeftButton);
    EXPECT_TRUE(w.decorativeScheme());
    ASSERT_FALSE(image1->pixmap().isNull());
    EXPECT_EQ(hide->font().family(), looks.cmdFun()->font().family());
    EXPECT_FALSE(hide->palette().brush(QPalette::Button).texture().isNull());
    // The background picture is tiled over the window.
    const QImage tile = image1->pixmap().toImage();
    EXPECT_EQ(w.grab().toImage().pixelColor(corner),
              tile.pixelColor(corner.x() % tile.width(), corner.y() % tile.height()));

    QTest::mouseClick(control<QCheckBox>(w, "chkBoring"), Qt::LeftButton);
    EXPECT_FALSE(w.decorativeScheme());
    EXPECT_TRUE(image1->pixmap().isNull());
    EXPECT_EQ(hide->font().family(), designFont(DesignFont::MsSansSerif).family());
    EXPECT_EQ(w.grab().toImage().pixelColor(corner), w.palette().color(QPalette::Window));
}

} // namespace
} // namespace quillmark
