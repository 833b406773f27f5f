#pragma once
// The Profiles tab: the list of profiles, the editing copy of the selected one, and the
// procedures that list, read, save and make profiles current.

#include <QComboBox>
#include <QWidget>
#include <array>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quillmark {

class Prompter;
class ProfileMenu;
class Settings;
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

    void setProfileMenu(ProfileMenu* menu);
    // The signature folder, without a trailing separator; default paths are built in it.
    void setSigPath(const std::string& folder) { m_sigPath = folder; }

    void subListProfiles();
    void subBuildProfileMenu();
    void subReadProfileSettings(std::string& strProfile);
    void subSaveProfileSettings();
    void subSaveProfileIfChanged();
    void subSelectProfile(const std::string& strProfile);

    // The list's text as the bytes stored in the settings file.
    std::string cmbProfileText() const;
    bool blnProfileChanged() const { return m_profileChanged; }
    int profileCount() const { return cmbProfile->count(); }
    void selectFirstProfile();

signals:
    // A profile was made current: its entries are to be loaded and a signature written.
    void profileMadeCurrent();

private:
    void readSelectedProfile();

    ProfileComboBox* cmbProfile;
    std::array<QLineEdit*, 3> txtFile{}; // 0 header, 1 footer, 2 output file
    QLabel* lblCurrentProfile;
    QLabel* lblSigSavedAs;
    QPushButton* cmdMakeCurrent;
    QPushButton* cmdSaveFileSettings;
    QPushButton* cmdUndoFileSettings;

    Settings& m_settings;
    SignatureState& m_state;
    Prompter& m_prompter;
    ProfileMenu* m_menu;
    std::string m_sigPath;
    bool m_profileChanged = false;
};

} // namespace quillmark
