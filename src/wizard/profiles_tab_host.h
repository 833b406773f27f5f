#pragma once
// The wizard's host on the main window: the new profile goes to the Profiles tab, which
// stores it, lists it and makes it current.

#include "wizard/wizard_host.h"

#include <functional>

class QWidget;

namespace quillmark {

class Prompter;
class ProfilesTab;
class Settings;

class ProfilesTabHost final : public WizardHost {
public:
    // `sigPath` gives the signature folder as the window holds it at that moment (the user
    // may change it while the wizard is open); `mainWindow` is shown when the wizard closes.
    ProfilesTabHost(ProfilesTab& tab, Settings& settings, Prompter& prompter, QWidget* mainWindow,
                    std::function<std::string()> sigPath);

    std::string sigPath() const override;
    bool hasProfile(std::string_view name) const override;
    Status checkRoom(std::string_view name) override;
    Status saveProfile(const ProfileRecord& record) override;
    void showHelp(const QString& page, QWidget* asker) override;
    void wizardClosed() override;

private:
    ProfilesTab& m_tab;
    Settings& m_settings;
    Prompter& m_prompter;
    QWidget* m_mainWindow;
    std::function<std::string()> m_sigPath;
};

} // namespace quillmark
