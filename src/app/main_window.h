#pragma once
// The main window: owns the program's state, builds the tabs and wires them, and runs
// start-up and shutdown. The tabs hold their own controls, handlers and settings.

#include "signature/compose.h"
#include "signature/random.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <string>

namespace Ui {
class MainWindow;
}

namespace quillmark {

class EmailTab;
class EncryptionTab;
class FirstRunWizard;
class ProfilesTabHost;
class SplashWindow;
class PreferencesTab;
class ProfilesTab;
class Prompter;
class Settings;
class SettingsWatch;
class SignatureTab;
class WallpaperTab;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(Settings& settings, Prompter& prompter, RandomSource& random, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Brings the program up: settings, tray icon, profiles, the first signature and the timer.
    // Run it from the event loop, so a stop request during one of its message boxes ends the program.
    void startUp();
    // The desktop session ends or the process was asked to stop: save without asking and
    // leave the event loop with status 0. Works at any moment, a message box open or not.
    void endSession();

    void readSettings();
    void saveSettings();

    // The splash, then the owner of the tray icon; null before start-up loads it and while ending.
    SplashWindow* splash() const { return m_splash.get(); }

    enum TabIndex { kSignatureTab, kProfilesTab, kEmailTab, kWallpaperTab, kEncryptionTab, kPreferencesTab };

    const SignatureState& signatureState() const { return m_signature; }
    const std::string& sigPath() const { return m_sigPath; }

protected:
    // A first run (no profile yet) starts the wizard; tests override it to see that it is asked for.
    virtual void startFirstRunWizard();

    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildTabs(Prompter& prompter, RandomSource& random);
    void putHideLastInTabOrder();
    void wireTabs();
    void wireMenuBar();
    void loadTrayWindow();
    void wireTrayWindow();
    void unloadTrayWindow();
    void minimiseToTray();
    void stayReachable();
    void onBoringClicked(bool boring);
    void initialise();
    void readSigPath();
    void tabChanged(int index);
    void watchSettingsFile();

    bool m_activated = false;
    std::string m_lastProfile;
    std::string m_sigPath;

    std::unique_ptr<::Ui::MainWindow> m_ui;
    Settings& m_settings;
    Prompter& m_prompter;
    SignatureState m_signature;
    std::unique_ptr<SplashWindow> m_splash;
    bool m_sessionEnding = false;
    bool m_settingsLoaded = false;
    bool m_startedUp = false;
    // quillmark-cli may change the settings file while the program runs.
    SettingsWatch* m_settingsWatch = nullptr;

    SignatureTab* m_signatureTab;
    ProfilesTab* m_profilesTab;
    WallpaperTab* m_wallpaperTab;
    EncryptionTab* m_encryptionTab;
    PreferencesTab* m_preferencesTab;
    EmailTab* m_emailTab;
    std::unique_ptr<ProfilesTabHost> m_wizardHost;
    QPointer<FirstRunWizard> m_wizard;
};

} // namespace quillmark
