#pragma once
// The Profiles tab: the list of profiles, the editing copy of the selected one, and the
// procedures that list, read, save and make profiles current.

#include "base/result.h"

#include <QComboBox>
#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QLineEdit;
class QPushButton;

namespace Ui {
class ProfilesTab;
}

namespace quillmark {

class EditorWindow;
class Prompter;
class ProfileMenu;
class Settings;
struct ProfileRecord;
struct SignatureState;

// A drop-down list that tells when it is about to open, so pending edits can be saved.
class ProfileComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;
signals:
    void dropDown();
};

class ProfilesTab : public QWidget {
    Q_OBJECT
public:
    ProfilesTab(Settings& settings, SignatureState& state, Prompter& prompter, QWidget* parent = nullptr);
    ~ProfilesTab() override;

    void setProfileMenu(ProfileMenu* menu);
    // The signature folder, without a trailing separator; default paths are built in it.
    void setSigPath(const std::string& folder) { m_sigPath = folder; }

    void listProfiles();
    void buildProfileMenu();
    void readProfileSettings(std::string& profile);
    void saveProfileSettings();
    void saveProfileIfChanged();
    void selectProfile(const std::string& profile);

    // The list's text as the bytes stored in the settings file.
    std::string cmbProfileText() const;
    int profileCount() const { return cmbProfile->count(); }
    void selectFirstProfile();
    // Whether the list holds `name` in any letter case, stored or not yet saved.
    bool listsProfile(std::string_view name) const;
    // A complete new profile, as New, Save and Choose make it: stored, listed here and in the tray
    // menu, and made current. An error, nothing stored or listed, when the store refuses it.
    Status addProfile(const ProfileRecord& profile);

    // The main window switched tabs: entering this tab with no profile asks for the first
    // one; leaving for another tab stores pending edits.
    void onTabChanged(bool profilesTabShown);
    // Closes the open editors, each asking about unsaved changes; false when one stays open.
    bool closeEditors();
    // quillmark-cli changed the settings file: the list and tray menu show its profiles again, the
    // selection and unsaved edits stay, and changed paths of the current profile take effect.
    void reloadProfiles();

signals:
    // A profile was made current: its entries are to be loaded and a signature written.
    void profileMadeCurrent();

private:
    void onAddProfileClicked();
    void onRemoveProfileClicked();
    void onBrowseClicked(int index);
    void onEditClicked(int index);
    void connectControls();
    void readSelectedProfile();
    void markCurrentInMenu(const QString& name);
    std::vector<std::string> listedNames() const;
    void addAndSelect(const std::string& name);
    EditorWindow* editorFor(const std::string& path) const;

    std::unique_ptr<Ui::ProfilesTab> m_ui;
    ProfileComboBox* cmbProfile;
    std::array<QLineEdit*, 3> txtFile{}; // 0 header, 1 footer, 2 output file
    std::array<QPushButton*, 3> cmdBrowse{};
    std::array<QPushButton*, 3> cmdEdit{};
    std::vector<QPointer<EditorWindow>> m_editors;

    Settings& m_settings;
    SignatureState& m_state;
    Prompter& m_prompter;
    ProfileMenu* m_menu;
    std::string m_sigPath;
    std::string m_current; // the profile made current last, as stored
    bool m_profileChanged = false;
};

} // namespace quillmark
