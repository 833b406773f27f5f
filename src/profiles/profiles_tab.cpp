#include "profiles/profiles_tab.h"

#include "platform/error_handler.h"
#include "platform/platform.h"
#include "profiles/profile_menu.h"
#include "profiles/profile_store.h"
#include "settings/setting_keys.h"
#include "settings/settings.h"
#include "signature/compose.h"
#include "ui/prompter.h"
#include "ui/text_codec.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

namespace quillmark {

namespace {

DetachedProfileMenu& detachedMenu() {
    static DetachedProfileMenu menu;
    return menu;
}

} // namespace

void ProfileComboBox::showPopup() {
    emit dropDown();
    QComboBox::showPopup();
}

ProfilesTab::ProfilesTab(Settings& settings, SignatureState& state, Prompter& prompter, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_state(state), m_prompter(prompter), m_menu(&detachedMenu()) {
    auto* layout = new QVBoxLayout(this);

    auto* lblProfileTitle = new QLabel(tr("Profile"), this);
    lblProfileTitle->setObjectName(QStringLiteral("lblProfileTitle"));
    cmbProfile = new ProfileComboBox(this);
    cmbProfile->setObjectName(QStringLiteral("cmbProfile"));
    cmbProfile->setEditable(false);
    cmdMakeCurrent = new QPushButton(tr("&Choose"), this);
    cmdMakeCurrent->setObjectName(QStringLiteral("cmdMakeCurrent"));
    cmdMakeCurrent->setToolTip(tr("Start using this profile "));
    cmdSaveFileSettings = new QPushButton(tr("&Save"), this);
    cmdSaveFileSettings->setObjectName(QStringLiteral("cmdSaveFileSettings"));
    cmdSaveFileSettings->setToolTip(tr("Save this profile"));
    cmdUndoFileSettings = new QPushButton(tr("&Undo"), this);
    cmdUndoFileSettings->setObjectName(QStringLiteral("cmdUndoFileSettings"));
    cmdUndoFileSettings->setToolTip(tr("Cancel the changes you made to this profile"));

    auto* top = new QHBoxLayout;
    top->addWidget(lblProfileTitle);
    top->addWidget(cmbProfile, 1);
    top->addWidget(cmdMakeCurrent);
    top->addWidget(cmdSaveFileSettings);
    top->addWidget(cmdUndoFileSettings);
    layout->addLayout(top);

    const QString captions[3] = {tr("Header File - the top sections of your signature"),
                                 tr("Footer File - the bottom sections of your signature"),
                                 tr("Final Output File - where your finished sig will be created")};
    auto* grid = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(captions[i], this);
        txtFile[static_cast<size_t>(i)] = new QLineEdit(this);
        txtFile[static_cast<size_t>(i)]->setObjectName(QStringLiteral("txtFile%1").arg(i));
        label->setBuddy(txtFile[static_cast<size_t>(i)]);
        grid->addWidget(label, 2 * i, 0);
        grid->addWidget(txtFile[static_cast<size_t>(i)], 2 * i + 1, 0);
        connect(txtFile[static_cast<size_t>(i)], &QLineEdit::textChanged, this,
                [this] { m_profileChanged = true; });
    }
    layout->addLayout(grid);

    lblCurrentProfile = new QLabel(tr("Current Profile:"), this);
    lblCurrentProfile->setObjectName(QStringLiteral("lblCurrentProfile"));
    lblSigSavedAs = new QLabel(tr("Saved as:"), this);
    lblSigSavedAs->setObjectName(QStringLiteral("lblSigSavedAs"));
    lblSigSavedAs->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lblCurrentProfile);
    layout->addWidget(lblSigSavedAs);
    layout->addStretch(1);

    connect(cmbProfile, &QComboBox::currentIndexChanged, this, [this] { readSelectedProfile(); });
    connect(cmbProfile, &ProfileComboBox::dropDown, this, [this] { subSaveProfileIfChanged(); });
    connect(cmdSaveFileSettings, &QPushButton::clicked, this, [this] { subSaveProfileSettings(); });
    connect(cmdUndoFileSettings, &QPushButton::clicked, this, [this] { readSelectedProfile(); });
    connect(cmdMakeCurrent, &QPushButton::clicked, this, [this] { subSelectProfile(cmbProfileText()); });
}

void ProfilesTab::setProfileMenu(ProfileMenu* menu) {
    m_menu = menu ? menu : &detachedMenu();
}

std::string ProfilesTab::cmbProfileText() const {
    const int index = cmbProfile->currentIndex();
    if (index < 0)
        return {};
    return cmbProfile->itemData(index).toByteArray().toStdString();
}

void ProfilesTab::selectFirstProfile() {
    if (cmbProfile->count() > 0)
        cmbProfile->setCurrentIndex(0);
}

void ProfilesTab::readSelectedProfile() {
    // The procedure corrects the name it is given; the list keeps its own text.
    std::string copy = cmbProfileText();
    subReadProfileSettings(copy);
}

void ProfilesTab::subListProfiles() {
    for (const std::string& name : listProfileNames(m_settings))
        cmbProfile->addItem(textFromBytes(name), QByteArray::fromStdString(name));
    if (cmbProfile->count() > 0)
        cmbProfile->setCurrentIndex(0);
}

void ProfilesTab::subBuildProfileMenu() {
    m_menu->removeProfileItems();
    for (int i = 0; i < cmbProfile->count(); ++i)
        m_menu->addProfileItem(i + 1, cmbProfile->itemText(i));
}

void ProfilesTab::subReadProfileSettings(std::string& strProfile) {
    {
        const int slot = findProfileSlotIgnoringCase(m_settings, strProfile);
        const ProfileRecord record =
            slot != 0 ? readProfileSlot(m_settings, keys::kProfiles, slot) : ProfileRecord{};
        strProfile = record.name;
        if (!strProfile.empty()) {
            const int index = cmbProfile->findData(QByteArray::fromStdString(strProfile));
            if (index >= 0)
                cmbProfile->setCurrentIndex(index);
            setBytes(txtFile[0], record.headerFile);
            setBytes(txtFile[1], record.footerFile);
            setBytes(txtFile[2], record.sigFile);
        } else {
            const std::string folder = m_sigPath + kPathSeparator;
            setBytes(txtFile[0], folder + "header.txt");
            setBytes(txtFile[1], folder + "footer.txt");
            setBytes(txtFile[2], folder + "sig.txt");
        }
    }
    m_profileChanged = false;
}

void ProfilesTab::subSaveProfileSettings() {
    const std::string name = cmbProfileText();
    const int slot = findSlotForSave(m_settings, name);
    if (slot == 0) {
        // Every slot holds another profile: overwriting one would lose it.
        m_prompter.message(tr("There is no room for another profile: all %1 profiles are in use.\r\r"
                              "Please delete a profile you no longer need, then save again.")
                               .arg(intMaxProfiles),
                           {}, Prompter::Icon::Warning);
        return;
    }
    writeProfileSlot(m_settings, slot, {name, bytesOf(txtFile[0]), bytesOf(txtFile[1]), bytesOf(txtFile[2])});
    subSelectProfile(name);
    m_profileChanged = false;
}

void ProfilesTab::subSaveProfileIfChanged() {
    if (m_profileChanged)
        subSaveProfileSettings();
}

void ProfilesTab::subSelectProfile(const std::string& strProfile) {
    {
        // The select has always addressed the section as "PROFILES"; it is the same section.
        const int slot = findProfileSlotExact(m_settings, "PROFILES", strProfile);
        if (slot != 0) {
            const ProfileRecord record = readProfileSlot(m_settings, "PROFILES", slot);
            applyProfile(m_state, record);
            lblSigSavedAs->setText(tr("Saved As: ") + textFromBytes(m_state.strSigFile));
        }
        const QString name = textFromBytes(strProfile);
        for (int i = 0; i < m_menu->profileItemCount(); ++i)
            m_menu->setProfileItemChecked(i, m_menu->profileItemCaption(i) == name);
        emit profileMadeCurrent();
        lblCurrentProfile->setText(tr("Current Profile: ") + name);
        m_settings.WriteINI(keys::kLastProfile.section, keys::kLastProfile.key, strProfile);
    }
}

} // namespace quillmark
