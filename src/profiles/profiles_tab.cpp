#include "profiles/profiles_tab.h"

#include "editor/editor_window.h"
#include "platform/error_handler.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "profiles/new_profile_dialog.h"
#include "profiles/profile_files.h"
#include "profiles/profile_menu.h"
#include "profiles/profile_store.h"
#include "settings/name_case.h"
#include "settings/setting_keys.h"
#include "settings/settings.h"
#include "signature/compose.h"
#include "ui/prompter.h"
#include "ui/text_codec.h"
#include "ui/window_place.h"
#include "ui_profiles_tab.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

namespace quillmark {

namespace {

DetachedProfileMenu& detachedMenu() {
    static DetachedProfileMenu menu;
    return menu;
}

// Two spellings of one file (a link, "..", a relative path) name the same editor window.
QString sameFileKey(const std::string& path) {
    const QFileInfo info(QString::fromStdString(path));
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

void ProfileComboBox::showPopup() {
    emit dropDown();
    QComboBox::showPopup();
}

ProfilesTab::ProfilesTab(Settings& settings, SignatureState& state, Prompter& prompter, QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::ProfilesTab>()), m_settings(settings), m_state(state),
      m_prompter(prompter), m_menu(&detachedMenu()) {
    m_ui->setupUi(this);
    cmbProfile = m_ui->cmbProfile;
    txtFile = {m_ui->txtFile0, m_ui->txtFile1, m_ui->txtFile2};
    cmdBrowse = {m_ui->cmdBrowse0, m_ui->cmdBrowse1, m_ui->cmdBrowse2};
    cmdEdit = {m_ui->cmdEdit0, m_ui->cmdEdit1, m_ui->cmdEdit2};
    connectControls();
}

ProfilesTab::~ProfilesTab() = default;

void ProfilesTab::connectControls() {
    for (int i = 0; i < 3; ++i) {
        const auto slot = static_cast<size_t>(i);
        connect(txtFile[slot], &QLineEdit::textChanged, this, [this] { m_profileChanged = true; });
        connect(cmdBrowse[slot], &QPushButton::clicked, this, [this, i] { onBrowseClicked(i); });
        connect(cmdEdit[slot], &QPushButton::clicked, this, [this, i] { onEditClicked(i); });
    }
    connect(cmbProfile, &QComboBox::currentIndexChanged, this, [this] { readSelectedProfile(); });
    connect(cmbProfile, &ProfileComboBox::dropDown, this, [this] { saveProfileIfChanged(); });
    connect(m_ui->cmdSaveFileSettings, &QPushButton::clicked, this, [this] { saveProfileSettings(); });
    connect(m_ui->cmdUndoFileSettings, &QPushButton::clicked, this, [this] { readSelectedProfile(); });
    connect(m_ui->cmdMakeCurrent, &QPushButton::clicked, this, [this] { selectProfile(cmbProfileText()); });
    connect(m_ui->cmdAddProfile, &QPushButton::clicked, this, &ProfilesTab::onAddProfileClicked);
    connect(m_ui->cmdRemoveProfile, &QPushButton::clicked, this, &ProfilesTab::onRemoveProfileClicked);
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
    readProfileSettings(copy);
}

void ProfilesTab::listProfiles() {
    for (const std::string& name : listProfileNames(m_settings))
        cmbProfile->addItem(textFromBytes(name), QByteArray::fromStdString(name));
    selectFirstProfile();
}

void ProfilesTab::buildProfileMenu() {
    m_menu->removeProfileItems();
    for (int i = 0; i < cmbProfile->count(); ++i)
        m_menu->addProfileItem(i + 1, cmbProfile->itemText(i));
}

void ProfilesTab::readProfileSettings(std::string& profile) {
    const int slot = findProfileSlotIgnoringCase(m_settings, profile);
    const ProfileRecord record =
        slot != 0 ? readProfileSlot(m_settings, keys::kProfiles, slot) : ProfileRecord{};
    profile = record.name;
    if (!profile.empty()) {
        const int index = cmbProfile->findData(QByteArray::fromStdString(profile));
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
    m_profileChanged = false;
}

void ProfilesTab::saveProfileSettings() {
    const std::string name = cmbProfileText();
    // One locked step: quillmark-cli cannot take the chosen slot in between.
    const Status saved = quillmark::saveProfileSettings(
        m_settings, {name, bytesOf(txtFile[0]), bytesOf(txtFile[1]), bytesOf(txtFile[2])});
    if (!saved) {
        // Every slot holds another profile (overwriting one would lose it), or quillmark-cli holds the file.
        m_prompter.message(this,
                           tr("Your profile could not be saved: %1.\r\r"
                              "If all %2 profiles are in use, please delete one you no longer need, "
                              "then save again.")
                               .arg(textFromBytes(saved.message()))
                               .arg(kMaxProfiles),
                           {}, Prompter::Icon::Warning);
        logError("subSaveProfileSettings", saved.message());
        return;
    }
    selectProfile(name);
    m_profileChanged = false;
}

void ProfilesTab::saveProfileIfChanged() {
    if (m_profileChanged)
        saveProfileSettings();
}

void ProfilesTab::selectProfile(const std::string& profile) {
    // The select has always addressed the section as "PROFILES"; it is the same section.
    const int slot = findProfileSlotExact(m_settings, "PROFILES", profile);
    if (slot != 0) {
        const ProfileRecord record = readProfileSlot(m_settings, "PROFILES", slot);
        applyProfile(m_state, record);
        m_ui->lblSigSavedAs->setText(tr("Saved As: ") + textFromBytes(m_state.sigFile));
    }
    const QString name = textFromBytes(profile);
    m_current = profile;
    markCurrentInMenu(name);
    emit profileMadeCurrent();
    m_ui->lblCurrentProfile->setText(tr("Current Profile: ") + name);
    m_settings.writeIni(keys::kLastProfile.section, keys::kLastProfile.key, profile);
}

void ProfilesTab::markCurrentInMenu(const QString& name) {
    for (int i = 0; i < m_menu->profileItemCount(); ++i)
        m_menu->setProfileItemChecked(i, m_menu->profileItemCaption(i) == name);
}

void ProfilesTab::reloadProfiles() {
    const std::string selected = cmbProfileText();
    {
        const QSignalBlocker refill(cmbProfile);
        cmbProfile->clear();
        listProfiles();
        if (const int index = cmbProfile->findData(QByteArray::fromStdString(selected)); index >= 0)
            cmbProfile->setCurrentIndex(index);
    }
    buildProfileMenu();
    markCurrentInMenu(textFromBytes(m_current));
    if (!m_profileChanged && cmbProfile->findData(QByteArray::fromStdString(selected)) >= 0) {
        std::string name = selected;
        readProfileSettings(name);
    }
    // Plain reads: looking must not write the file the other program just wrote.
    const int slot = findProfileSlotExact(m_settings, keys::kProfiles, m_current, ScanRead::Plain);
    if (slot == 0)
        return; // removed from outside: the signature goes on from what is loaded
    const ProfileRecord record = readProfileSlot(m_settings, keys::kProfiles, slot, ScanRead::Plain);
    if (record.headerFile != m_state.headerFile || record.footerFile != m_state.footerFile ||
        record.sigFile != m_state.sigFile)
        selectProfile(m_current);
}

std::vector<std::string> ProfilesTab::listedNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < cmbProfile->count(); ++i)
        names.push_back(cmbProfile->itemData(i).toByteArray().toStdString());
    return names;
}

void ProfilesTab::addAndSelect(const std::string& name) {
    const QByteArray bytes = QByteArray::fromStdString(name);
    cmbProfile->addItem(textFromBytes(name), bytes);
    cmbProfile->setCurrentIndex(cmbProfile->findData(bytes));
}

bool ProfilesTab::listsProfile(std::string_view name) const {
    const std::vector<std::string> names = listedNames();
    return std::any_of(names.begin(), names.end(),
                       [name](const std::string& listed) { return sameNameIgnoringCase(listed, name); });
}

Status ProfilesTab::addProfile(const ProfileRecord& profile) {
    if (Status added = quillmark::addProfile(m_settings, profile); !added)
        return added;
    // Selecting the stored profile reads its paths into the boxes and clears the changed flag.
    addAndSelect(profile.name);
    buildProfileMenu();
    selectProfile(profile.name);
    return {};
}

void ProfilesTab::onAddProfileClicked() {
    const std::string remembered = cmbProfileText();
    saveProfileIfChanged();
    // A new name would have no slot to be saved in; say so before the user types one.
    if (std::max(usedProfileSlots(m_settings), profileCount()) >= kMaxProfiles) {
        m_prompter.message(this,
                           tr("There is no room for another profile: all %1 profiles are in use.\r\r"
                              "Please delete a profile you no longer need first.")
                               .arg(kMaxProfiles),
                           {}, Prompter::Icon::Warning);
        return;
    }
    {
        NewProfileDialog dialog(m_prompter, listedNames(), window());
        dialog.exec();
        if (!dialog.chosenName().empty())
            addAndSelect(dialog.chosenName());
    }
    if (cmbProfileText() == remembered)
        return;
    buildProfileMenu();
    m_profileChanged = true;
    const std::string blank = m_sigPath + kPathSeparator + "blank.txt";
    if (Status created = createFileIfMissing(blank); !created)
        logError("frmMain.cmdAddProfile", created.message());
    setBytes(txtFile[0], blank);
    setBytes(txtFile[1], blank);
}

void ProfilesTab::onRemoveProfileClicked() {
    // With nothing selected there is no profile to delete; the empty name would match
    // (and rewrite) every free slot.
    if (cmbProfile->currentIndex() < 0)
        return;
    const std::string name = cmbProfileText();
    if (m_prompter.message(this,
                           tr("Are you sure you want to delete profile: %1?").arg(cmbProfile->currentText()),
                           tr("Delete Profile?"), Prompter::Icon::Question,
                           Prompter::Buttons::YesNoCancel) != Prompter::Answer::Yes)
        return;
    // Frees every slot of the name and makes the first remaining profile current, in one locked step.
    const Status removed = removeProfile(
        m_settings, name, {name, bytesOf(txtFile[0]), bytesOf(txtFile[1]), bytesOf(txtFile[2])});
    if (!removed) {
        m_prompter.message(this,
                           tr("The profile could not be deleted: %1.").arg(textFromBytes(removed.message())),
                           {}, Prompter::Icon::Warning);
        logError("cmdRemoveProfile", removed.message());
        return;
    }
    {
        const QSignalBlocker refill(cmbProfile);
        cmbProfile->clear();
        listProfiles();
    }
    selectFirstProfile();
    std::string first = cmbProfileText();
    readProfileSettings(first);
    selectProfile(first);
    buildProfileMenu();
}

void ProfilesTab::onBrowseClicked(int index) {
    QLineEdit* box = txtFile.at(static_cast<size_t>(index));
    const std::string current = bytesOf(box);
    const std::string folder = folderOfPath(current);
    const std::string start =
        (folder.empty() ? m_sigPath : folder) + kPathSeparator + fileNameOfPath(current);
    const QString chosen = m_prompter.openFile(this, tr("Quillmark File Select"), textFromBytes(start),
                                               tr("Text Document (*.txt)"));
    if (chosen.isEmpty())
        return;
    const std::string path = chosen.toStdString();
    const ProfileFileRole role = index == 2 ? ProfileFileRole::Output : ProfileFileRole::Source;
    if (Status usable = checkProfileFile(path, role); !usable) {
        m_prompter.message(this,
                           tr("This file cannot be used here:\r\r%1").arg(textFromBytes(usable.message())),
                           {}, Prompter::Icon::Warning);
        return;
    }
    setBytes(box, path);
}

EditorWindow* ProfilesTab::editorFor(const std::string& path) const {
    const QString key = sameFileKey(path);
    for (const QPointer<EditorWindow>& editor : m_editors)
        if (editor && !editor->fileName().empty() && sameFileKey(editor->fileName()) == key)
            return editor;
    return nullptr;
}

void ProfilesTab::onEditClicked(int index) {
    const std::string path = bytesOf(txtFile.at(static_cast<size_t>(index)));
    // One window per file: a second one would let two texts overwrite each other.
    if (EditorWindow* open = path.empty() ? nullptr : editorFor(path)) {
        bringWindowBack(open);
        return;
    }
    auto* editor = new EditorWindow(m_prompter, this);
    editor->setSigFolder(m_sigPath);
    if (!path.empty()) {
        if (Status opened = editor->openFile(path);
            !opened && opened.code() != ErrorCode::NotFound && opened.code() != ErrorCode::PathNotFound) {
            // The path must not become the editor's: saving would replace that file.
            delete editor;
            m_prompter.message(this,
                               tr("This file cannot be edited:\r\r%1").arg(textFromBytes(opened.message())),
                               {}, Prompter::Icon::Warning);
            return;
        }
        editor->setFileName(path);
        editor->setBoxIndex(index);
    }
    m_editors.erase(std::remove(m_editors.begin(), m_editors.end(), nullptr), m_editors.end());
    m_editors.emplace_back(editor);
    // A new name goes into the box only while the profile the file came from is the one
    // shown; another profile's box must not pick up a path it never had.
    const std::string profile = cmbProfileText();
    connect(editor, &EditorWindow::savedAs, this, [this, profile](int box, const QString& newPath) {
        if (box >= 0 && box < 3 && cmbProfileText() == profile)
            setBytes(txtFile.at(static_cast<size_t>(box)), newPath.toStdString());
    });
    editor->show();
    if (path.empty())
        m_prompter.message(this, tr("Please choose a file to edit"), {}, Prompter::Icon::Information);
}

bool ProfilesTab::closeEditors() {
    for (const QPointer<EditorWindow>& editor : m_editors)
        if (editor && editor->isVisible() && !editor->close())
            return false;
    return true;
}

void ProfilesTab::onTabChanged(bool profilesTabShown) {
    if (!profilesTabShown) {
        saveProfileIfChanged();
        return;
    }
    if (cmbProfile->count() > 0)
        return;
    {
        NewProfileDialog dialog(m_prompter, listedNames(), window());
        dialog.setPrompt(tr("Please type the name of your first profile"), tr("Friends"));
        dialog.exec();
        if (!dialog.chosenName().empty())
            addAndSelect(dialog.chosenName());
    }
    buildProfileMenu();
    saveProfileSettings();
    selectProfile(cmbProfileText());
}

} // namespace quillmark
