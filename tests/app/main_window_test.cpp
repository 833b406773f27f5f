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
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
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

#include <filesystem>
#include <functional>
#include <map>

namespace quillmark {
namespace {

using namespace Qt::StringLiterals;
using test::control;

// The letters two controls answer to at one time: those of the menu bar, the tab captions
// and the buttons outside the pages, with those of one page (a tab, a wizard page). A row
// of like buttons (cmdBrowse0 to 2) is one control.
QStringList acceleratorClashes(const QWidget& window, QList<QWidget*> pages) {
    QStringList always;
    if (const auto* main = qobject_cast<const QMainWindow*>(&window))
        for (const QAction* menu : main->menuBar()->actions())
            always << menu->text();
    for (const QTabWidget* tabs : window.findChildren<QTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i) {
            always << tabs->tabText(i);
            pages << tabs->widget(i);
        }
    QStringList clashes;
    for (qsizetype i = 0; i < std::max<qsizetype>(pages.size(), 1); ++i) {
        std::map<QChar, QSet<QString>> owners;
        const auto add = [&owners](const QString& owner, QString text) {
            const qsizetype at = text.replace(u"&&"_s, u"__"_s).indexOf(u'&');
            if (at >= 0 && at + 1 < text.size())
                owners[text[at + 1].toUpper()] << owner;
        };
        for (const QString& text : always)
            add(text, text);
        for (QAbstractButton* b : window.findChildren<QAbstractButton*>()) {
            const auto page =
                std::find_if(pages.begin(), pages.end(), [b](auto* p) { return p->isAncestorOf(b); });
            if (page == pages.end() || page - pages.begin() == i)
                add(b->objectName().remove(QRegularExpression(u"\\d+$"_s)), b->text());
        }
        for (const auto& [key, names] : owners)
            if (names.size() > 1)
                clashes << window.objectName() + u" page "_s + QString::number(i) + u": Alt+"_s + key +
                               u" on "_s + QStringList(names.begin(), names.end()).join(u',');
    }
    return clashes;
}

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
    // A window started on the settings file as it is now.
    MainWindow& start() {
        window = std::make_unique<MainWindow>(settings, prompter, random);
        window->startUp();
        return *window;
    }
    void click(const char16_t* name) {
        QTest::mouseClick(control<QAbstractButton>(*window, QString::fromUtf16(name)), Qt::LeftButton);
    }
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, StartUpMakesTheLastProfileCurrentAndLoadsEveryTab) {
    prepareProfile();
    random.values = {0.0f, 0.99f};
    MainWindow& w = start();
    EXPECT_EQ(test::slurp(dir.file("sig.txt")), "-- \nAlice\ntwo\n");
    EXPECT_EQ(control<QComboBox>(w, u"cmbProfile"_s)->currentText(), u"Work"_s);
    EXPECT_TRUE(control<QTimer>(w, u"tmr1"_s)->isActive());
    EXPECT_FALSE(control<QTabWidget>(w, u"tabMain"_s)->isTabEnabled(MainWindow::kEmailTab));
    EXPECT_EQ(control<QLineEdit>(w, u"txtInterval1"_s)->text(), u"1"_s);
    EXPECT_TRUE(control<QCheckBox>(w, u"chkBoring"_s)->isChecked());
    EXPECT_TRUE(control<QRadioButton>(w, u"opnPassword"_s)->isChecked());
    EXPECT_TRUE(prompter.messages().empty());
    // Offscreen no tray shows the icon: hiding would leave no way back, so it waits minimised.
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    EXPECT_TRUE(w.isMinimized() && w.isVisible());
    EXPECT_TRUE(w.splash()->isHidden());
    w.showNormal();
    click(u"cmdHide");
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.isMinimized() && w.isVisible());
    // The comment and the user's lines survive the start-up writes.
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
    control<QLineEdit>(w, u"txtInterval1"_s)->setText(u"30"_s);
    for (const char16_t* box : {u"chkStartUp", u"chkStretchWallpaper", u"opnROT"})
        click(box);
    w.saveSettings();
    const std::string file = test::slurp(ini);
    for (const char* line : {"INTERVAL_1=30\n", "RUN AT BOOTUP=False\n", "STRETCH TO FIT SCREEN=True\n",
                             "LAST ENCRYPTION METHOD=0\n"})
        EXPECT_NE(file.find(line), std::string::npos) << line;
    const auto autostart = std::filesystem::path(dir.path()) / "config/autostart/Quillmark.desktop";
    EXPECT_FALSE(std::filesystem::exists(autostart));
    click(u"chkStartUp");
    w.saveSettings();
    EXPECT_TRUE(std::filesystem::exists(autostart));
}

TEST_F(MainWindowTest, SeparatorAndFolderKeepTheirBytesThroughStartUpAndSave) {
    {
        MainWindow first(settings, prompter, random);
        first.startUp();
        first.saveSettings();
    }
    const std::string written = test::slurp(ini);
    const std::pair<const char*, const char*> cases[] = {
        {"\xA7", "\xA7"}, {"\xC2\xA7", "\xC2\xA7"}, {"\xA7\xA7", "\xA7"}, {"#x", "#"}};
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
    auto* separator = control<QLineEdit>(w, u"txtSeparator"_s);
    for (bool activated : {false, true}) {
        if (activated)
            QCoreApplication::sendEvent(&w, std::make_unique<QEvent>(QEvent::WindowActivate).get());
        separator->selectAll();
        QTest::keyClicks(separator, activated ? u"!"_s : u"#"_s);
        EXPECT_EQ(prompter.messages().size(), activated ? 1u : 0u);
    }
    prompter.expectMessage(u"This will not take effect until the next time you run Quillmark."_s);
    EXPECT_EQ(w.signatureState().separator, "%");

    auto* preview = control<QPlainTextEdit>(w, u"txtSig"_s);
    click(u"chkProportional");
    EXPECT_EQ(preview->font().family(), u"Courier New"_s);
    // A new signature folder is in use at once: a new profile's default paths lie in it.
    prompter.paths = {QString::fromStdString(dir.file("my sigs"))};
    click(u"cmdBrowseSigPathDir");
    auto* list = control<QComboBox>(w, u"cmbProfile"_s);
    list->addItem(u"Fresh"_s, QByteArray("Fresh"));
    list->setCurrentIndex(list->count() - 1);
    EXPECT_EQ(control<QLineEdit>(w, u"txtFile0"_s)->text(),
              QString::fromStdString(dir.file("my sigs/header.txt")));
}

TEST_F(MainWindowTest, EveryWayOutAsksAndOnlyYesSavesAndRemovesTheTrayIcon) {
    prepareProfile();
    MainWindow& w = start();
    control<QLineEdit>(w, u"txtInterval1"_s)->setText(u"45"_s);
    const auto trigger = [&w](bool tray, const char16_t* name) {
        return [&w, tray, name] {
            control<QAction>(tray ? static_cast<QObject&>(*w.splash()) : w, QString::fromUtf16(name))
                ->trigger();
        };
    };
    const struct {
        const char* what;
        std::function<void()> ask;
        Prompter::Answer answer;
    } rows[] = {{"the close box", [&w] { w.close(); }, Prompter::Answer::No},
                {"the menu bar's Exit", trigger(false, u"mnuExit"), Prompter::Answer::Cancel},
                {"the tray's Exit", trigger(true, u"mPopExit"), Prompter::Answer::No},
                {"the tray's Exit", trigger(true, u"mPopExit"), Prompter::Answer::Yes}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        prompter.answers = {row.answer};
        row.ask();
        QCoreApplication::processEvents();
        prompter.expectMessage(u"Are you sure you want to close Quillmark?"_s, u"Exit Quillmark"_s);
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
    // Start-up stops there: no signature, no timer.
    EXPECT_FALSE(control<QTimer>(w, u"tmr1"_s)->isActive());
    EXPECT_EQ(test::slurp(dir.file("sig.txt")), "");
}

TEST_F(MainWindowTest, SplashShowsDuringStartUpOnlyWhenAskedFor) {
    // A folder as header: start-up stops at a box after the splash is loaded, before it hides.
    std::filesystem::create_directories(dir.file("folder"));
    for (const std::string flag : {"True", "False"}) {
        SCOPED_TRACE(flag);
        test::spit(ini, "[SETTINGS]\nSHOW SPLASH SCREEN=" + flag +
                            "\n[Profiles]\nPROFILE 1=Home\nHEADER FILE 1=" + dir.file("folder") +
                            "\nSIG FILE 1=" + dir.file("sig.txt") + "\n");
        Settings fresh(ini);
        MainWindow w(fresh, prompter, random);
        bool splashSeen = false;
        prompter.whileOpen = [&](const test::ScriptedPrompter::Call&) {
            splashSeen = w.splash()->isVisible();
        };
        w.startUp();
        EXPECT_EQ(splashSeen, flag == "True");
        EXPECT_TRUE(w.splash()->isHidden());
    }
}

TEST_F(MainWindowTest, MenuAndTrayCommandsReachTheWindow) {
    prepareProfile();
    random.values = {0.0f, 0.99f, 0.99f, 0.0f};
    MainWindow& w = start();
    SplashWindow& tray = *w.splash();
    control<QAction>(tray, u"mnuNextSig"_s)->trigger();
    EXPECT_EQ(test::slurp(dir.file("sig.txt")), "-- \nBob\none\n");
    control<QAction>(tray, u"mnuCopy"_s)->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), u"-- \nBob\none"_s);

    const auto profiles = tray.findChildren<QAction*>(u"mnuProfile"_s);
    EXPECT_TRUE(profiles[2]->isChecked());
    profiles[1]->trigger();
    EXPECT_EQ(control<QLabel>(w, u"lblCurrentProfile"_s)->text(), u"Current Profile: Home"_s);
    EXPECT_TRUE(profiles[1]->isChecked() && !profiles[2]->isChecked());
    EXPECT_EQ(settings.readIniPlain("User", "Last Profile"), "Home");

    w.hide();
    control<QAction>(tray, u"mPopRestore"_s)->trigger();
    EXPECT_TRUE(w.isVisible() && !w.isMinimized());

    setHelpFolder(QString::fromStdString(dir.file("no help here")));
    control<QAction>(w, u"mnuHelp"_s)->trigger();
    setHelpFolder({});
    EXPECT_TRUE(prompter.messages().at(0).text.contains(u"index.htm"_s));
    // About from the menu bar and the tray: one About window.
    control<QAction>(w, u"mnuAbout"_s)->trigger();
    AboutBox* about = AboutBox::current();
    ASSERT_NE(about, nullptr);
    control<QAction>(tray, u"mnuAbout"_s)->trigger();
    EXPECT_EQ(AboutBox::current(), about);
    delete about;
}

TEST_F(MainWindowTest, FirstRunShowsTheWizardOverTheWindowAndEveryWindowHasUniqueAccelerators) {
    MainWindow& w = start(); // no profile yet
    QWidget* wizard = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        wizard = top->objectName() == u"frmWizard"_s ? top : wizard;
    ASSERT_NE(wizard, nullptr);
    const std::unique_ptr<QWidget> ownWizard(wizard);
    EXPECT_TRUE(wizard->isVisible() && w.isVisible() && !w.isMinimized());
    EXPECT_TRUE(w.splash()->isHidden());
    const EditorWindow editor(prompter);
    const NewProfileDialog newProfile(prompter, {});
    const std::unique_ptr<AboutBox> about(AboutBox::showAbout(prompter));
    const std::pair<const QWidget*, QList<QWidget*>> windows[] = {
        {&w, {}},
        {wizard, wizard->findChildren<QWidget*>(QRegularExpression(u"^pnl"_s))},
        {&editor, {}},
        {&newProfile, {}},
        {about.get(), {}}};
    for (const auto& [window, pages] : windows)
        EXPECT_EQ(acceleratorClashes(*window, pages).join(u'\n'), QString());
}

TEST_F(MainWindowTest, BoringBoxSwitchesTheSchemeAtOnceAndAStatusMessageMovesNoControl) {
    prepareProfile(); // starts in the boring scheme
    const AppearanceTemplates looks(QStringLiteral(QUILLMARK_LOOKS_SOURCE_DIR));
    MainWindow& w = start();
    w.showNormal();
    auto* image1 = control<QLabel>(w, u"Image1"_s);
    auto* hide = control<QPushButton>(w, u"cmdHide"_s);
    const QPoint corner(2, w.height() - 2); // window background, beside the Hide button
    QCoreApplication::processEvents();
    const QRect hideAt(hide->mapTo(&w, QPoint()), hide->size());
    w.statusBar()->showMessage(u"Wallpaper changed"_s);
    QCoreApplication::processEvents();
    EXPECT_EQ(QRect(hide->mapTo(&w, QPoint()), hide->size()), hideAt);
    for (bool decorative : {true, false}) {
        SCOPED_TRACE(decorative);
        click(u"chkBoring");
        EXPECT_EQ(w.decorativeScheme(), decorative);
        EXPECT_EQ(hide->font().family(), decorative ? looks.cmdFun()->font().family()
                                                    : designFont(DesignFont::MsSansSerif).family());
        // The background picture is tiled over the window.
        const QImage tile = image1->pixmap().toImage();
        EXPECT_EQ(w.grab().toImage().pixelColor(corner),
                  decorative ? tile.pixelColor(corner.x() % tile.width(), corner.y() % tile.height())
                             : w.palette().color(QPalette::Window));
    }
}

} // namespace
} // namespace quillmark
