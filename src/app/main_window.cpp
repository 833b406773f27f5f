#include "app/main_window.h"
#include "ui_main_window.h"

#include "app/email_tab.h"
#include "app/preferences_tab.h"
#include "app/settings_watch.h"
#include "base/product_info.h"
#include "encryption/encryption_tab.h"
#include "platform/autostart.h"
#include "platform/error_handler.h"
#include "platform/paths.h"
#include "platform/tray_host.h"
#include "profiles/profile_store.h"
#include "profiles/profiles_tab.h"
#include "settings/setting_keys.h"
#include "settings/settings.h"
#include "settings/typed_settings.h"
#include "signature/signature_tab.h"
#include "tray/splash_window.h"
#include "ui/about_box.h"
#include "ui/appearance.h"
#include "ui/help.h"
#include "ui/key_store.h"
#include "ui/prompter.h"
#include "ui/text_codec.h"
#include "ui/window_place.h"
#include "wallpaper/wallpaper_tab.h"
#include "wizard/first_run_wizard.h"
#include "wizard/profiles_tab_host.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>
#include <array>

namespace quillmark {

namespace {

// The settings start-up reads, in the order a first run has always written their defaults.
constexpr std::array kStartUpSettings = {&keys::kInterval1,
                                         &keys::kSeparator,
                                         &keys::kRunAtBootup,
                                         &keys::kShowSplashScreen,
                                         &keys::kBoringColourScheme,
                                         &keys::kAddDashes,
                                         &keys::kWallpaperOnStartup,
                                         &keys::kShrinkToFit,
                                         &keys::kStretchToFit,
                                         &keys::kProportionalFonts,
                                         &keys::kLastEncryptionMethod,
                                         &keys::kRunBefore};

// The tray menu shows names as text; the store takes the stored bytes, which may not be UTF-8.
std::string storedProfileName(Settings& settings, const QString& caption) {
    for (const std::string& name : listProfileNames(settings))
        if (textFromBytes(name) == caption)
            return name;
    return bytesFromText(caption);
}

// Written once: three synchronous writes of the store at every start would delay the signature.
void recordMakerInformation() {
    KeyStore maker;
    const auto recorded = [&maker](const char* name, std::string_view value) {
        return maker.value(QString(), QString::fromLatin1(name)) == QString::fromUtf8(value);
    };
    if (recorded("Author", kMakerAuthor) && recorded("Web", kMakerWeb) && recorded("Mail", kMakerMail))
        return;
    if (!writeMakerInformation(maker))
        logError("frmMain.startUp", "the maker's information could not be recorded");
}

} // namespace

MainWindow::MainWindow(Settings& settings, Prompter& prompter, RandomSource& random, QWidget* parent)
    : QMainWindow(parent), m_ui(std::make_unique<::Ui::MainWindow>()), m_settings(settings),
      m_prompter(prompter) {
    // The form holds the status bar from the start, so a first message does not push controls up.
    m_ui->setupUi(this);
    setWindowTitle(kProgramTitle);
    buildTabs(prompter, random);
    m_wizardHost = std::make_unique<ProfilesTabHost>(*m_profilesTab, settings, prompter, this,
                                                     [this] { return m_sigPath; });
    wireTabs();
    wireMenuBar();
    connect(m_ui->cmdHide, &QPushButton::clicked, this, &MainWindow::minimiseToTray);
    connect(m_ui->tabMain, &QTabWidget::currentChanged, this, &MainWindow::tabChanged);
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { endSession(); });
}

MainWindow::~MainWindow() {
    // The wizard has no parent (it must not hide with this window) but uses the host that ends here.
    delete m_wizard;
    unloadTrayWindow();
}

// The form's pages only hold the captions: each tab takes its page's place. The tab captions
// and the menus take accelerator letters that no tab's own buttons use.
void MainWindow::buildTabs(Prompter& prompter, RandomSource& random) {
    QTabWidget* tabs = m_ui->tabMain;
    m_signatureTab = new SignatureTab(m_signature, prompter, random, tabs);
    m_profilesTab = new ProfilesTab(m_settings, m_signature, prompter, tabs);
    m_emailTab = new EmailTab([this] { return m_signatureTab->sigText(); }, &QDate::currentDate, tabs);
    m_wallpaperTab = new WallpaperTab(prompter, random, tabs);
    m_encryptionTab = new EncryptionTab(prompter, tabs);
    m_preferencesTab = new PreferencesTab(m_settings, prompter, tabs);
    QStringList captions;
    while (tabs->count() > 0) {
        captions << tabs->tabText(0);
        QWidget* page = tabs->widget(0);
        tabs->removeTab(0);
        delete page;
    }
    const std::array<QWidget*, 6> inOrder{m_signatureTab, m_profilesTab,   m_emailTab,
                                          m_wallpaperTab, m_encryptionTab, m_preferencesTab};
    for (size_t i = 0; i < inOrder.size(); ++i)
        tabs->addTab(inOrder[i], captions.value(static_cast<qsizetype>(i)));
    putHideLastInTabOrder();
}

// The tabs' controls joined the focus chain after the Hide button; the button goes last.
void MainWindow::putHideLastInTabOrder() {
    QWidget* last = nullptr;
    for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && m_ui->tabMain->isAncestorOf(w))
            last = w;
    if (last != nullptr)
        QWidget::setTabOrder(last, m_ui->cmdHide);
}

void MainWindow::wireTabs() {
    connect(m_wallpaperTab, &WallpaperTab::statusMessage, this,
            [this](const QString& text) { statusBar()->showMessage(text, 10000); });
    connect(m_signatureTab, &SignatureTab::titleChanged, this, &QWidget::setWindowTitle);
    connect(m_signatureTab, &SignatureTab::outputFolderMissing, this, [this] {
        showNormal();
        raise();
        m_ui->tabMain->setCurrentIndex(kProfilesTab);
    });
    connect(m_profilesTab, &ProfilesTab::profileMadeCurrent, this, [this] {
        m_signatureTab->loadEntries();
        m_signatureTab->onUpdateClicked();
    });
    // quillmark-cli reads these from the settings file: it learns of a change at once.
    connect(m_signatureTab, &SignatureTab::addDashesClicked, this,
            [this](bool on) { writeFlag(m_settings, keys::kAddDashes, on); });
    connect(m_preferencesTab, &PreferencesTab::separatorChanged, this, [this] {
        m_preferencesTab->saveSeparator(m_settings);
        if (m_activated)
            m_prompter.message(this, tr("This will not take effect until the next time you run Quillmark."),
                               {}, Prompter::Icon::Information);
    });
    connect(m_preferencesTab, &PreferencesTab::sigPathAccepted, this, [this](const std::string& folder) {
        m_sigPath = folder;
        m_profilesTab->setSigPath(stripTrailingBackslash(folder));
    });
    connect(m_preferencesTab, &PreferencesTab::proportionalFontsClicked, m_signatureTab,
            &SignatureTab::setProportionalFont);
    connect(m_preferencesTab, &PreferencesTab::boringColourSchemeClicked, this, &MainWindow::onBoringClicked);
}

void MainWindow::wireMenuBar() {
    connect(m_ui->mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(m_ui->mnuHelp, &QAction::triggered, this,
            [this] { showHelp(m_prompter, QStringLiteral("index.htm")); });
    connect(m_ui->mnuAbout, &QAction::triggered, this, [this] { AboutBox::showAbout(m_prompter, this); });
}

void MainWindow::initialise() {
    m_lastProfile = readText(m_settings, keys::kLastProfile);
    if (m_lastProfile.empty())
        m_lastProfile = m_settings.readIni(keys::kProfiles, profileNameKey(1), std::string_view());
    readSigPath();
    m_signature.headers = {std::string()};
    m_signature.footers = {std::string()};
}

void MainWindow::readSigPath() {
    m_preferencesTab->loadSigPath();
    m_sigPath = m_preferencesTab->sigPath();
    m_profilesTab->setSigPath(stripTrailingBackslash(m_sigPath));
}

void MainWindow::startUp() {
    m_activated = false;
    {
        // A first run writes many defaults back; they reach the disk in one write.
        Settings::Batch batch(m_settings);
        initialise();
        m_ui->tabMain->setTabEnabled(kEmailTab, false);
        minimiseToTray();
        recordMakerInformation();
        loadTrayWindow();
        centreOn(this, screen());
        // The random source was seeded from the clock when it was made, once per run.
        readSettings();
    }
    m_settingsLoaded = true;
    if (m_sessionEnding) {
        // The stop request came while a message box of the settings load was open.
        saveSettings();
        return;
    }
    m_ui->tabMain->setCurrentIndex(kSignatureTab);
    if (m_profilesTab->profileCount() == 0) {
        // The window first, so that the wizard opens in front of it.
        showNormal();
        startFirstRunWizard();
    }
    m_profilesTab->selectProfile(m_profilesTab->cmbProfileText());
    if (m_sessionEnding)
        return;
    m_signatureTab->startUpdates();
    applyColourScheme(this);
    update();
    stayReachable();
    m_startedUp = true;
    watchSettingsFile();
    if (m_splash)
        m_splash->hideSplash();
}

// quillmark-cli may change profiles while this program runs: the list and the tray menu follow.
void MainWindow::watchSettingsFile() {
    m_settingsWatch = new SettingsWatch(m_settings, this);
    connect(m_settingsWatch, &SettingsWatch::changedOutside, m_profilesTab, &ProfilesTab::reloadProfiles);
}

void MainWindow::startFirstRunWizard() {
    if (m_wizard) {
        m_wizard->raise();
        return;
    }
    m_wizard = new FirstRunWizard(*m_wizardHost, m_prompter);
    m_wizard->setAttribute(Qt::WA_DeleteOnClose);
    // A dialog of this window for the window manager, which keeps it above the window and
    // gives it the focus; yet no child, so it stays up when the window hides in the tray.
    m_wizard->setWindowFlags((m_wizard->windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog);
    m_wizard->winId();
    m_wizard->windowHandle()->setTransientParent(windowHandle());
    m_wizard->show();
    bringWindowBack(m_wizard);
}

// Into the tray, or minimised into the task bar while no tray shows the icon. Hidden straight
// away, not minimised first: the window manager would minimise a window the program minimised
// again right after the tray brings it back.
void MainWindow::minimiseToTray() {
    if (!isVisible())
        return;
    if (m_splash && m_splash->canHideToTray())
        hide();
    else
        setWindowState(windowState() | Qt::WindowMinimized);
}

// Without a tray showing our icon a hidden window would be lost: it goes to the task bar instead.
void MainWindow::stayReachable() {
    if (isHidden() && !(m_splash && m_splash->canHideToTray()))
        showMinimized();
}

void MainWindow::loadTrayWindow() {
    // Read plainly: the settings read below stores every missing default in the usual order.
    const bool showSplash = readFlagPlain(m_settings, keys::kShowSplashScreen);
    m_splash = std::make_unique<SplashWindow>(this, showSplash);
    wireTrayWindow();
    m_profilesTab->setProfileMenu(m_splash.get());
    // A window hidden to a tray that then ends would be out of reach: bring it back to the
    // task bar. Only once start-up is done; until then its last step decides.
    onTrayHostMayHaveGone(this, [this] {
        if (m_startedUp)
            stayReachable();
    });
}

void MainWindow::wireTrayWindow() {
    SplashWindow* tray = m_splash.get();
    connect(tray, &SplashWindow::nextSigRequested, m_signatureTab, &SignatureTab::onUpdateClicked);
    connect(tray, &SplashWindow::copyRequested, m_signatureTab, &SignatureTab::copySignatureToClipboard);
    connect(tray, &SplashWindow::profileChosen, this, [this](const QString& caption) {
        m_profilesTab->selectProfile(storedProfileName(m_settings, caption));
    });
    connect(tray, &SplashWindow::encryptClipboardRequested, this,
            [this] { m_encryptionTab->clipboardCommand(true, m_activated); });
    connect(tray, &SplashWindow::decryptClipboardRequested, this,
            [this] { m_encryptionTab->clipboardCommand(false, m_activated); });
    connect(tray, &SplashWindow::aboutRequested, m_ui->mnuAbout, &QAction::trigger);
    connect(tray, &SplashWindow::helpRequested, m_ui->mnuHelp, &QAction::trigger);
    // Queued: closing removes the tray window, which must not happen inside its own menu.
    connect(tray, &SplashWindow::exitRequested, this, &QWidget::close, Qt::QueuedConnection);
}

void MainWindow::unloadTrayWindow() {
    if (!m_splash)
        return;
    m_profilesTab->setProfileMenu(nullptr);
    m_splash.reset();
}

void MainWindow::onBoringClicked(bool boring) {
    setDecorativeScheme(!boring);
    applyColourScheme(this);
    update();
}

void MainWindow::readSettings() {
    Settings::Batch batch(m_settings);
    // A read stores the default of a missing key; the values are loaded by the tabs.
    for (const keys::SettingKey* key : kStartUpSettings)
        readText(m_settings, *key);

    m_signatureTab->loadSettings(m_settings);

    m_preferencesTab->loadSettings(m_settings);
    m_signature.separator = m_preferencesTab->separator();
    setDecorativeScheme(!m_preferencesTab->boringColourScheme());
    m_signatureTab->setProportionalFont(m_preferencesTab->proportionalFonts());

    m_wallpaperTab->loadSettings(m_settings);

    m_profilesTab->selectFirstProfile();
    m_profilesTab->listProfiles();
    m_profilesTab->buildProfileMenu();
    m_profilesTab->readProfileSettings(m_lastProfile);

    m_encryptionTab->loadSettings(m_settings);

    if (!readFlag(m_settings, keys::kRunBefore))
        showHelp(m_prompter, QStringLiteral("quickstart.htm"));
    m_wallpaperTab->loadWallpaperList();
    if (readFlag(m_settings, keys::kWallpaperOnStartup))
        m_wallpaperTab->onChangeWallpaperClicked();
}

void MainWindow::saveSettings() {
    Settings::Batch batch(m_settings);
    m_signatureTab->saveSettings(m_settings);
    m_preferencesTab->saveSettings(m_settings);
    m_encryptionTab->saveSettings(m_settings);
    // Qt writes "/" in paths on Windows too; the Run key holds the path as Windows writes it.
    static_cast<void>(setRunEntry(
        "Quillmark", QDir::toNativeSeparators(QCoreApplication::applicationFilePath()).toStdString(),
        !m_preferencesTab->runAtBootup()));
    m_wallpaperTab->saveSettings(m_settings);
}

void MainWindow::tabChanged(int index) {
    m_wallpaperTab->saveWallpaperList();
    m_profilesTab->onTabChanged(index == kProfilesTab);
    if (index != kEmailTab)
        saveSettings();
}

void MainWindow::endSession() {
    if (m_sessionEnding)
        return;
    m_sessionEnding = true;
    // Before start-up has read the settings the controls hold defaults, and saving them
    // would overwrite the user's choices; start-up saves once it has read them.
    if (m_settingsLoaded)
        saveSettings();
    // Ends every running event loop, an open message box's included, whatever the program awaits.
    QCoreApplication::exit(0);
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && isVisible() && m_splash &&
        m_splash->canHideToTray()) {
        // Hidden once the window system has finished minimising it.
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                hide();
        });
    }
}

void MainWindow::paintEvent(QPaintEvent*) {
    // Image1 is never shown itself: the colour scheme puts the background picture in it, and
    // the paint tiles that picture over the window.
    QPainter painter(this);
    paintSchemeBackground(painter, m_ui->Image1, size());
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        m_activated = true;
    return QMainWindow::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!m_sessionEnding) {
        // An editor with unsaved text the user wants to keep stops the closing too.
        if (m_prompter.message(this, tr("Are you sure you want to close Quillmark?"), tr("Exit Quillmark"),
                               Prompter::Icon::Question,
                               Prompter::Buttons::YesNoCancel) != Prompter::Answer::Yes ||
            !m_profilesTab->closeEditors()) {
            event->ignore();
            return;
        }
        saveSettings();
    }
    unloadTrayWindow();
    event->accept();
    // The program lives in the tray and does not end with its last window: it ends here.
    QCoreApplication::exit(0);
}

} // namespace quillmark
