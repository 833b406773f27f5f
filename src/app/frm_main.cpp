#include "app/frm_main.h"

#include "app/preferences_tab.h"
#include "encryption/encryption_tab.h"
#include "platform/autostart.h"
#include "platform/paths.h"
#include "profiles/profile_store.h"
#include "profiles/profiles_tab.h"
#include "settings/setting_keys.h"
#include "settings/settings.h"
#include "settings/typed_settings.h"
#include "signature/signature_tab.h"
#include "ui/help.h"
#include "ui/prompter.h"
#include "wallpaper/wallpaper_tab.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>
#include <array>

namespace quillmark {

namespace {

// The settings that start-up reads, in the order it has always read them. A first run
// writes their defaults in this order, so a new settings file reads the same as ever
// whichever tab loads which key.
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

} // namespace

frmMain::frmMain(Settings& settings, Prompter& prompter, RandomSource& random, QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_prompter(prompter) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kProgramTitle);
    tabMain = new QTabWidget(this);
    tabMain->setObjectName(QStringLiteral("tabMain"));
    m_signatureTab = new SignatureTab(m_signature, prompter, random, tabMain);
    m_profilesTab = new ProfilesTab(settings, m_signature, prompter, tabMain);
    m_wallpaperTab = new WallpaperTab(tabMain);
    m_encryptionTab = new EncryptionTab(prompter, tabMain);
    m_preferencesTab = new PreferencesTab(settings, prompter, tabMain);
    tabMain->addTab(m_signatureTab, tr("&Signature"));
    tabMain->addTab(m_profilesTab, tr("P&rofiles"));
    tabMain->addTab(new QWidget(tabMain), tr("E-&Mail"));
    tabMain->addTab(m_wallpaperTab, tr("&Wallpaper"));
    tabMain->addTab(m_encryptionTab, tr("&Encryption"));
    tabMain->addTab(m_preferencesTab, tr("Pre&ferences"));
    setCentralWidget(tabMain);
    resize(640, 460);

    connect(m_signatureTab, &SignatureTab::titleChanged, this, &QWidget::setWindowTitle);
    connect(m_signatureTab, &SignatureTab::outputFolderMissing, this, [this] {
        showNormal();
        raise();
        tabMain->setCurrentIndex(kProfilesTab);
    });
    connect(m_profilesTab, &ProfilesTab::profileMadeCurrent, this, [this] {
        m_signatureTab->subLoadFiles();
        m_signatureTab->cmdUpdate_Click();
    });
    connect(m_preferencesTab, &PreferencesTab::separatorChanged, this, [this] {
        if (blnActivated)
            m_prompter.message(tr("This will not take effect until the next time you run Quillmark."), {},
                               Prompter::Icon::Information, Prompter::Buttons::Ok);
    });
    connect(m_preferencesTab, &PreferencesTab::sigPathAccepted, this, [this](const std::string& folder) {
        strSigPath = folder;
        m_profilesTab->setSigPath(StripTrailingBackslash(folder));
    });
    connect(m_preferencesTab, &PreferencesTab::proportionalFontsClicked, m_signatureTab,
            &SignatureTab::setProportionalFont);
    connect(m_preferencesTab, &PreferencesTab::boringColourSchemeClicked, this, [this](bool boring) {
        m_decorative = !boring;
        update();
    });
    connect(tabMain, &QTabWidget::currentChanged, this, &frmMain::tabChanged);
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { endSession(); });
}

frmMain::~frmMain() = default;

void frmMain::subInitialise() {
    strLastProfile = readText(m_settings, keys::kLastProfile);
    if (strLastProfile.empty())
        strLastProfile = m_settings.ReadINI(keys::kProfiles, profileNameKey(1), std::string_view());
    subGetSigPath();
    m_signature.astrHeaders = {std::string()};
    m_signature.astrFooters = {std::string()};
}

void frmMain::subGetSigPath() {
    m_preferencesTab->loadSigPath();
    strSigPath = m_preferencesTab->sigPath();
    m_profilesTab->setSigPath(StripTrailingBackslash(strSigPath));
}

void frmMain::startUp() {
    blnActivated = false;
    {
        // A first run writes many defaults back; they reach the disk in one write.
        Settings::Batch batch(m_settings);
        subInitialise();
        tabMain->setTabEnabled(kEmailTab, false);
        subReadSettings();
    }
    m_settingsLoaded = true;
    if (m_sessionEnding) {
        // The stop request came while a message box of the settings load was open.
        if (!blnQuitting)
            subSaveSettings();
        return;
    }
    tabMain->setCurrentIndex(kSignatureTab);
    // Until the program has a tray icon to come back from, the window stays in view.
    showNormal();
    m_profilesTab->subSelectProfile(m_profilesTab->cmbProfileText());
    if (m_sessionEnding)
        return;
    m_signatureTab->startUpdates();
}

void frmMain::storeMissingDefaults() {
    // A read stores the default of a missing key; the values are loaded by the tabs.
    for (const keys::SettingKey* key : kStartUpSettings)
        readText(m_settings, *key);
}

void frmMain::subReadSettings() {
    Settings::Batch batch(m_settings);
    storeMissingDefaults();

    m_signatureTab->loadSettings(m_settings);

    m_preferencesTab->loadSettings(m_settings);
    m_signature.strSeparator = m_preferencesTab->separator();
    m_decorative = !m_preferencesTab->boringColourScheme();
    m_signatureTab->setProportionalFont(m_preferencesTab->proportionalFonts());

    m_wallpaperTab->loadSettings(m_settings);

    m_profilesTab->selectFirstProfile();
    m_profilesTab->subListProfiles();
    m_profilesTab->subBuildProfileMenu();
    m_profilesTab->subReadProfileSettings(strLastProfile);

    m_encryptionTab->loadSettings(m_settings);

    if (!readFlag(m_settings, keys::kRunBefore))
        subShowHelp(m_prompter, QStringLiteral("quickstart.htm"));
    // Loading the wallpaper list and changing the wallpaper at start-up are still to come.
}

void frmMain::subSaveSettings() {
    Settings::Batch batch(m_settings);
    m_signatureTab->saveSettings(m_settings);
    m_preferencesTab->saveSettings(m_settings);
    m_encryptionTab->saveSettings(m_settings);
    SetRunEntry("Quillmark", QCoreApplication::applicationFilePath().toStdString(), true, RunEntryKind::Run,
                !m_preferencesTab->runAtBootup());
    m_wallpaperTab->saveSettings(m_settings);
}

void frmMain::mnuEncryptClipboard_Click() {
    m_encryptionTab->clipboardCommand(true, blnActivated);
}

void frmMain::mnuDecryptClipboard_Click() {
    m_encryptionTab->clipboardCommand(false, blnActivated);
}

void frmMain::tabChanged(int index) {
    m_profilesTab->subSaveProfileIfChanged();
    if (index != kEmailTab)
        subSaveSettings();
}

void frmMain::endSession() {
    if (m_sessionEnding)
        return;
    m_sessionEnding = true;
    // Before start-up has read the settings the controls hold defaults, and saving them
    // would overwrite the user's choices; start-up saves once it has read them.
    if (m_settingsLoaded && !blnQuitting)
        subSaveSettings();
    // Ends every running event loop, an open message box's included, so the request is
    // honoured whatever the program is waiting for.
    QCoreApplication::exit(0);
}

bool frmMain::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        blnActivated = true;
    return QMainWindow::event(event);
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!m_sessionEnding && !blnQuitting &&
        m_prompter.message(tr("Are you sure you want to close Quillmark?"), tr("Exit Quillmark"),
                           Prompter::Icon::Question,
                           Prompter::Buttons::YesNoCancel) != Prompter::Answer::Yes) {
        event->ignore();
        return;
    }
    if (!m_sessionEnding && !blnQuitting)
        subSaveSettings();
    event->accept();
    QCoreApplication::exit(0);
}

} // namespace quillmark
