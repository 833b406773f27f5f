#include "app/preferences_tab.h"
#include "ui_preferences_tab.h"

#include "platform/app_folders.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "settings/setting_keys.h"
#include "settings/settings.h"
#include "settings/typed_settings.h"
#include "signature/separator.h"
#include "ui/prompter.h"
#include "ui/text_codec.h"

#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace quillmark {

namespace {

std::string defaultSigFolder() {
    return programFolder() + kPathSeparator + "Sigs";
}

bool isExistingFolder(const std::string& path) {
    std::string copy = path;
    return !copy.empty() && quillmark::folderExists(copy);
}

} // namespace

PreferencesTab::PreferencesTab(Settings& settings, Prompter& prompter, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_prompter(prompter),
      m_ui(std::make_unique<::Ui::PreferencesTab>()) {
    m_ui->setupUi(this);
    m_ui->txtSeparator->installEventFilter(this);
    m_ui->txtSigPath->installEventFilter(this);

    // Only the user's own edits: the program filling the box in is no change to announce.
    connect(m_ui->txtSeparator, &QLineEdit::textEdited, this, &PreferencesTab::separatorChanged);
    connect(m_ui->cmdBrowseSigPathDir, &QPushButton::clicked, this, &PreferencesTab::onBrowseSigPathClicked);
    connect(m_ui->chkProportional, &QCheckBox::clicked, this, &PreferencesTab::proportionalFontsClicked);
    connect(m_ui->chkBoring, &QCheckBox::clicked, this, &PreferencesTab::boringColourSchemeClicked);
}

PreferencesTab::~PreferencesTab() = default;

void PreferencesTab::loadSigPath() {
    m_sigPath =
        m_settings.readIni(keys::kDefaultSigPath.section, keys::kDefaultSigPath.key, defaultSigFolder());
    setBytes(m_ui->txtSigPath, m_sigPath);
}

void PreferencesTab::loadSettings(Settings& settings) {
    m_storedSeparator = readText(settings, keys::kSeparator);
    m_separator = separatorFromSetting(m_storedSeparator);
    {
        // Filling the box is not the user's change.
        const QSignalBlocker quiet(m_ui->txtSeparator);
        setBytes(m_ui->txtSeparator, m_storedSeparator);
    }
    m_shownSeparator = m_ui->txtSeparator->text();
    m_ui->chkStartUp->setChecked(readFlag(settings, keys::kRunAtBootup));
    m_ui->chkShowSplashScreen->setChecked(readFlag(settings, keys::kShowSplashScreen));
    m_ui->chkBoring->setChecked(readFlag(settings, keys::kBoringColourScheme));
    m_ui->chkWallpaperOnStartup->setChecked(readFlag(settings, keys::kWallpaperOnStartup));
    m_ui->chkProportional->setChecked(readFlag(settings, keys::kProportionalFonts));
}

void PreferencesTab::saveSettings(Settings& settings) {
    writeFlag(settings, keys::kRunAtBootup, m_ui->chkStartUp->isChecked());
    writeFlag(settings, keys::kShowSplashScreen, m_ui->chkShowSplashScreen->isChecked());
    saveSeparator(settings);
    writeFlag(settings, keys::kBoringColourScheme, m_ui->chkBoring->isChecked());
    writeFlag(settings, keys::kWallpaperOnStartup, m_ui->chkWallpaperOnStartup->isChecked());
    // This one has always been stored as the box's value, "0" or "1".
    writeText(settings, keys::kProportionalFonts, m_ui->chkProportional->isChecked() ? "1" : "0");
}

void PreferencesTab::saveSeparator(Settings& settings) {
    writeText(settings, keys::kSeparator,
              m_ui->txtSeparator->text() == m_shownSeparator ? m_storedSeparator
                                                             : bytesOf(m_ui->txtSeparator));
}

bool PreferencesTab::runAtBootup() const {
    return m_ui->chkStartUp->isChecked();
}

bool PreferencesTab::proportionalFonts() const {
    return m_ui->chkProportional->isChecked();
}

bool PreferencesTab::boringColourScheme() const {
    return m_ui->chkBoring->isChecked();
}

bool PreferencesTab::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        // A message box, a menu or another program taking the focus for a moment is not the
        // user leaving the box: the box stays as typed until the focus moves to another control.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const bool left = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
        if (watched == m_ui->txtSeparator) {
            if (left && m_ui->txtSeparator->text().isEmpty())
                m_ui->txtSeparator->setText(QString::fromUtf8(keys::kSeparator.defaultValue));
        } else if (watched == m_ui->txtSigPath)
            onSigPathLeft();
    }
    return QWidget::eventFilter(watched, event);
}

void PreferencesTab::onBrowseSigPathClicked() {
    std::string start = defaultSigFolder();
    const std::string typed = bytesOf(m_ui->txtSigPath);
    if (isExistingFolder(typed))
        start = stripTrailingBackslash(typed);
    const QString chosen = m_prompter.chooseFolder(this, tr("Choose the folder of your signature files"),
                                                   QString::fromStdString(start));
    const std::string folder = chosen.toStdString();
    if (!isExistingFolder(folder))
        return;
    setBytes(m_ui->txtSigPath, folder);
    acceptSigPath(folder);
}

void PreferencesTab::onSigPathLeft() {
    const std::string typed = bytesOf(m_ui->txtSigPath);
    if (typed == m_sigPath)
        return;
    if (isExistingFolder(typed)) {
        acceptSigPath(stripTrailingBackslash(typed));
        return;
    }
    const std::string parent = folderOfPath(typed);
    if (isExistingFolder(parent)) {
        setBytes(m_ui->txtSigPath, parent);
        acceptSigPath(stripTrailingBackslash(parent));
    } else {
        setBytes(m_ui->txtSigPath, m_sigPath);
    }
}

void PreferencesTab::acceptSigPath(const std::string& folder) {
    m_sigPath = folder;
    m_settings.writeIni(keys::kDefaultSigPath.section, keys::kDefaultSigPath.key, folder);
    emit sigPathAccepted(folder);
}

} // namespace quillmark
