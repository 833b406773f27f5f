#include "app/frm_main.h"

#include "app/preferences_tab.h"
#include "encryption/encryption_tab.h"
#include "platform/app_folders.h"
#include "platform/autostart.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "profiles/profile_store.h"
#include "profiles/profiles_tab.h"
#include "settings/setting_keys.h"
#include "settings/settings.h"
#include "signature/signature_tab.h"
#include "ui/help.h"
#include "ui/prompter.h"
#include "ui/text_codec.h"
#include "wallpaper/wallpaper_tab.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

namespace quillmark {

namespace {

std::string read(Settings& settings, const keys::SettingKey& key) {
    return settings.ReadINI(key.section, key.key, key.defaultValue);
}

void readCheck(Settings& settings, const keys::SettingKey& key, QCheckBox* box) {
    box->setChecked(read(settings, key) != "0");
}

void saveCheck(Settings& settings, const keys::SettingKey& key, const QCheckBox* box) {
    settings.WriteINI(key.section, key.key, box->isChecked());
}

} // namespace

frmMain::frmMain(Settings& settings, Prompter& prompter, RandomSource& random, QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_prompter(prompter), m_random(random) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kProgramTitle);
    tabMain = new QTabWidget(this);
    tabMain->setObjectName(QStringLiteral("tabMain"));
    signatureTab = new SignatureTab(m_signature, prompter, random, tabMain);
    profilesTab = new ProfilesTab(settings, m_signature, prompter, tabMain);
    wallpaperTab = new WallpaperTab(tabMain);
    encryptionTab = new EncryptionTab(prompter, tabMain);
    preferencesTab = new PreferencesTab(tabMain);
    tabMain->addTab(signatureTab, tr("&Signature"));
    tabMain->addTab(profilesTab, tr("P&rofiles"));
    tabMain->addTab(new QWidget(tabMain), tr("E-&Mail"));
    tabMain->addTab(wallpaperTab, tr("&Wallpaper"));
    tabMain->addTab(encryptionTab, tr("&Encryption"));
    tabMain->addTab(preferencesTab, tr("Pre&ferences"));
    setCentralWidget(tabMain);
    resize(640, 460);

    connect(signatureTab, &SignatureTab::titleChanged, this, &QWidget::setWindowTitle);
    connect(signatureTab, &SignatureTab::outputFolderMissing, this, [this] {
        showNormal();
        raise();
        tabMain->setCurrentIndex(TabProfiles);
    });
    connect(profilesTab, &ProfilesTab::profileMadeCurrent, this, [this] {
        signatureTab->subLoadFiles();
        signatureTab->cmdUpdate_Click();
    });
    connect(preferencesTab->chkProportional, &QCheckBox::clicked, this, &frmMain::applyProportionalFont);
    connect(tabMain, &QTabWidget::currentChanged, this, &frmMain::tabChanged);
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { endSession(); });
}

frmMain::~frmMain() = default;

void frmMain::subInitialise() {
    strWallpaperListFile = programFolder() + kPathSeparator + "wallpaper.lst";
    strLastProfile =
        m_settings.ReadINI(keys::kLastProfile.section, keys::kLastProfile.key, std::string_view());
    if (strLastProfile.empty())
        strLastProfile = m_settings.ReadINI(keys::kProfiles, profileNameKey(1), std::string_view());
    subGetSigPath();
    m_signature.astrHeaders = {std::string()};
    m_signature.astrFooters = {std::string()};
}

void frmMain::subGetSigPath() {
    strSigPath = m_settings.ReadINI(keys::kDefaultSigPath.section, keys::kDefaultSigPath.key,
                                    programFolder() + kPathSeparator + "Sigs");
    setBytes(preferencesTab->txtSigPath, strSigPath);
    profilesTab->setSigPath(StripTrailingBackslash(strSigPath));
}

void frmMain::startUp() {
    blnActivated = false;
    {
        // A first run writes many defaults back; they reach the disk in one write.
        Settings::Batch batch(m_settings);
        subInitialise();
        tabMain->setTabEnabled(TabEmail, false);
        subReadSettings();
    }
    tabMain->setCurrentIndex(TabSignature);
    // Until the program has a tray icon to come back from, the window stays in view.
    showNormal();
    profilesTab->subSelectProfile(profilesTab->cmbProfileText());
    signatureTab->tmr1->start();
}

void frmMain::applyProportionalFont() {
    signatureTab->setProportionalFont(preferencesTab->chkProportional->isChecked());
}

void frmMain::subReadSettings() {
    Settings::Batch batch(m_settings);
    signatureTab->txtInterval1->setText(QString::fromStdString(read(m_settings, keys::kInterval1)));
    preferencesTab->txtSeparator->setText(textFromBytes(read(m_settings, keys::kSeparator)));
    m_signature.strSeparator = preferencesTab->txtSeparator->text().toStdString();
    if (m_signature.strSeparator.empty())
        m_signature.strSeparator.push_back(keys::kSeparator.defaultValue.front());

    readCheck(m_settings, keys::kRunAtBootup, preferencesTab->chkStartUp);
    readCheck(m_settings, keys::kShowSplashScreen, preferencesTab->chkShowSplashScreen);
    readCheck(m_settings, keys::kBoringColourScheme, preferencesTab->chkBoring);
    readCheck(m_settings, keys::kAddDashes, signatureTab->chkAddSigDashes);
    readCheck(m_settings, keys::kWallpaperOnStartup, preferencesTab->chkWallpaperOnStartup);
    readCheck(m_settings, keys::kShrinkToFit, wallpaperTab->chkShrinkWallpaper);
    readCheck(m_settings, keys::kStretchToFit, wallpaperTab->chkStretchWallpaper);
    blnDecorative = !preferencesTab->chkBoring->isChecked();
    m_signature.blnAddDashes = signatureTab->chkAddSigDashes->isChecked();

    preferencesTab->chkProportional->setChecked(read(m_settings, keys::kProportionalFonts) != "0");
    applyProportionalFont();

    if (profilesTab->cmbProfile->count() > 0)
        profilesTab->cmbProfile->setCurrentIndex(0);
    profilesTab->subListProfiles();
    profilesTab->subBuildProfileMenu();
    profilesTab->subReadProfileSettings(strLastProfile);

    const bool rot = read(m_settings, keys::kLastEncryptionMethod) == "0";
    encryptionTab->opnROT->setChecked(rot);
    encryptionTab->opnPassword->setChecked(!rot);

    if (read(m_settings, keys::kRunBefore) == "0")
        subShowHelp(m_prompter, QStringLiteral("quickstart.htm"));
    // The wallpaper list and the start-up wallpaper change arrive with the wallpaper tab;
    // the option is read here so that a first run stores its default.
    (void)read(m_settings, keys::kWallpaperOnStartup);
}

void frmMain::subSaveSettings() {
    Settings::Batch batch(m_settings);
    auto write = [this](const keys::SettingKey& key, std::string_view value) {
        m_settings.WriteINI(key.section, key.key, value);
    };
    write(keys::kInterval1, signatureTab->txtInterval1->text().toStdString());
    saveCheck(m_settings, keys::kRunAtBootup, preferencesTab->chkStartUp);
    saveCheck(m_settings, keys::kShowSplashScreen, preferencesTab->chkShowSplashScreen);
    write(keys::kSeparator, preferencesTab->txtSeparator->text().toStdString());
    write(keys::kLastEncryptionMethod, encryptionTab->opnROT->isChecked() ? "0" : "1");
    SetRunEntry("Quillmark", QCoreApplication::applicationFilePath().toStdString(), true, RunEntryKind::Run,
                !preferencesTab->chkStartUp->isChecked());
    saveCheck(m_settings, keys::kBoringColourScheme, preferencesTab->chkBoring);
    saveCheck(m_settings, keys::kAddDashes, signatureTab->chkAddSigDashes);
    saveCheck(m_settings, keys::kWallpaperOnStartup, preferencesTab->chkWallpaperOnStartup);
    saveCheck(m_settings, keys::kShrinkToFit, wallpaperTab->chkShrinkWallpaper);
    saveCheck(m_settings, keys::kStretchToFit, wallpaperTab->chkStretchWallpaper);
    write(keys::kProportionalFonts, preferencesTab->chkProportional->isChecked() ? "1" : "0");
}

void frmMain::cmdEncode_Click() {
    encryptionTab->cmdEncode_Click();
}

void frmMain::cmdDecode_Click() {
    encryptionTab->cmdDecode_Click();
}

void frmMain::mnuEncryptClipboard_Click() {
    encryptionTab->clipboardCommand(true, blnActivated);
}

void frmMain::mnuDecryptClipboard_Click() {
    encryptionTab->clipboardCommand(false, blnActivated);
}

void frmMain::tabChanged(int index) {
    profilesTab->subSaveProfileIfChanged();
    if (index != TabEmail)
        subSaveSettings();
}

void frmMain::endSession() {
    if (m_sessionEnding)
        return;
    m_sessionEnding = true;
    if (!blnQuitting)
        subSaveSettings();
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
