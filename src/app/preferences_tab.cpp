#include "app/preferences_tab.h"

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
#include <QFile>
#include <QFocusEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace quillmark {

namespace {

std::string defaultSigFolder() {
    return programFolder() + kPathSeparator + "Sigs";
}

bool folderExists(const std::string& path) {
    std::string copy = path;
    return !copy.empty() && DirExists(copy);
}

} // namespace

PreferencesTab::PreferencesTab(Settings& settings, Prompter& prompter, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_prompter(prompter) {
    txtSeparator = new QLineEdit(this);
    txtSeparator->setObjectName(QStringLiteral("txtSeparator"));
    txtSeparator->setMaxLength(1);
    txtSeparator->setMaximumWidth(40);
    txtSeparator->setToolTip(
        tr("Each signature in your text files must be separated by a symbol - the default character is `%'"));
    txtSeparator->installEventFilter(this);
    txtSigPath = new QLineEdit(this);
    txtSigPath->setObjectName(QStringLiteral("txtSigPath"));
    txtSigPath->installEventFilter(this);
    cmdBrowseSigPathDir = new QPushButton(tr("&Browse"), this);
    cmdBrowseSigPathDir->setObjectName(QStringLiteral("cmdBrowseSigPathDir"));

    auto box = [this](const char* name, const QString& caption) {
        auto* check = new QCheckBox(caption, this);
        check->setObjectName(QString::fromLatin1(name));
        return check;
    };
    chkStartUp = box("chkStartUp", tr("Start Quillmark when I log in"));
    chkShowSplashScreen = box("chkShowSplashScreen", tr("Show Splash Screen"));
    chkWallpaperOnStartup = box("chkWallpaperOnStartup", tr("Change Wallpaper on startup"));
    chkProportional = box("chkProportional", tr("Display Proportional Fonts"));
    chkBoring = box("chkBoring", tr("Boring Colour Scheme"));

    auto* folder = new QHBoxLayout;
    folder->addWidget(txtSigPath, 1);
    folder->addWidget(cmdBrowseSigPathDir);
    auto* form = new QFormLayout;
    form->addRow(tr("Signature separator:"), txtSeparator);
    form->addRow(tr("Signature folder:"), folder);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    for (QCheckBox* check :
         {chkStartUp, chkShowSplashScreen, chkWallpaperOnStartup, chkProportional, chkBoring})
        layout->addWidget(check);
    layout->addStretch(1);

    // Only the user's own edits: the program filling the box in is no change to announce.
    connect(txtSeparator, &QLineEdit::textEdited, this, &PreferencesTab::separatorChanged);
    connect(cmdBrowseSigPathDir, &QPushButton::clicked, this, &PreferencesTab::cmdBrowseSigPathDir_Click);
    connect(chkProportional, &QCheckBox::clicked, this, &PreferencesTab::proportionalFontsClicked);
    connect(chkBoring, &QCheckBox::clicked, this, &PreferencesTab::boringColourSchemeClicked);
}

void PreferencesTab::loadSigPath() {
    m_sigPath =
        m_settings.ReadINI(keys::kDefaultSigPath.section, keys::kDefaultSigPath.key, defaultSigFolder());
    setBytes(txtSigPath, m_sigPath);
}

void PreferencesTab::loadSettings(Settings& settings) {
    m_storedSeparator = readText(settings, keys::kSeparator);
    m_separator = separatorFromSetting(m_storedSeparator);
    {
        // Filling the box is not the user's change.
        const QSignalBlocker quiet(txtSeparator);
        setBytes(txtSeparator, m_storedSeparator);
    }
    m_shownSeparator = txtSeparator->text();
    chkStartUp->setChecked(readFlag(settings, keys::kRunAtBootup));
    chkShowSplashScreen->setChecked(readFlag(settings, keys::kShowSplashScreen));
    chkBoring->setChecked(readFlag(settings, keys::kBoringColourScheme));
    chkWallpaperOnStartup->setChecked(readFlag(settings, keys::kWallpaperOnStartup));
    chkProportional->setChecked(readFlag(settings, keys::kProportionalFonts));
}

void PreferencesTab::saveSettings(Settings& settings) {
    writeFlag(settings, keys::kRunAtBootup, chkStartUp->isChecked());
    writeFlag(settings, keys::kShowSplashScreen, chkShowSplashScreen->isChecked());
    writeText(settings, keys::kSeparator,
              txtSeparator->text() == m_shownSeparator ? m_storedSeparator : bytesOf(txtSeparator));
    writeFlag(settings, keys::kBoringColourScheme, chkBoring->isChecked());
    writeFlag(settings, keys::kWallpaperOnStartup, chkWallpaperOnStartup->isChecked());
    // This one has always been stored as the box's value, "0" or "1".
    writeText(settings, keys::kProportionalFonts, chkProportional->isChecked() ? "1" : "0");
}

bool PreferencesTab::runAtBootup() const {
    return chkStartUp->isChecked();
}

bool PreferencesTab::proportionalFonts() const {
    return chkProportional->isChecked();
}

bool PreferencesTab::boringColourScheme() const {
    return chkBoring->isChecked();
}

bool PreferencesTab::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        // A message box, a menu or another program taking the focus for a moment is not the
        // user leaving the box: the box stays as typed until the focus moves to another control.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const bool left = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
        if (watched == txtSeparator) {
            if (left && txtSeparator->text().isEmpty())
                txtSeparator->setText(QString::fromUtf8(keys::kSeparator.defaultValue));
        } else if (watched == txtSigPath)
            txtSigPath_LostFocus();
    }
    return QWidget::eventFilter(watched, event);
}

void PreferencesTab::cmdBrowseSigPathDir_Click() {
    std::string start = defaultSigFolder();
    const std::string typed = bytesOf(txtSigPath);
    if (folderExists(typed))
        start = StripTrailingBackslash(typed);
    const QString chosen = m_prompter.chooseFolder(this, tr("Choose the folder of your signature files"),
                                                   QFile::decodeName(QByteArray::fromStdString(start)));
    const std::string folder = QFile::encodeName(chosen).toStdString();
    if (!folderExists(folder))
        return;
    setBytes(txtSigPath, folder);
    acceptSigPath(folder);
}

void PreferencesTab::txtSigPath_LostFocus() {
    const std::string typed = bytesOf(txtSigPath);
    if (typed == m_sigPath)
        return;
    if (folderExists(typed)) {
        acceptSigPath(StripTrailingBackslash(typed));
        return;
    }
    const std::string parent = FolderOfPath(typed);
    if (folderExists(parent)) {
        setBytes(txtSigPath, parent);
        acceptSigPath(StripTrailingBackslash(parent));
    } else {
        setBytes(txtSigPath, m_sigPath);
    }
}

void PreferencesTab::acceptSigPath(const std::string& folder) {
    m_sigPath = folder;
    m_settings.WriteINI(keys::kDefaultSigPath.section, keys::kDefaultSigPath.key, folder);
    emit sigPathAccepted(folder);
}

} // namespace quillmark
