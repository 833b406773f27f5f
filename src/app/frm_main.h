#pragma once
// The main window: owns the program's state, builds the tabs and wires them, and runs
// start-up and shutdown. The tabs hold their own controls and handlers.

#include "signature/compose.h"
#include "signature/random.h"

#include <QMainWindow>
#include <string>

class QTabWidget;

namespace quillmark {

class EncryptionTab;
class PreferencesTab;
class ProfilesTab;
class Prompter;
class Settings;
class SignatureTab;
class WallpaperTab;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    frmMain(Settings& settings, Prompter& prompter, RandomSource& random, QWidget* parent = nullptr);
    ~frmMain() override;

    // Brings the program up: settings, profiles, the first signature and the timer. Run it
    // from the event loop, so that a stop request during one of its message boxes can end
    // the program.
    void startUp();
    // The desktop session ends or the process was asked to stop: save without asking and
    // leave the event loop with status 0. Works at any moment, a message box open or not.
    void endSession();

    void subReadSettings();
    void subSaveSettings();

    // The Encryption tab's commands, for the tray menu: encode or decode the tab's input
    // and put the result on the clipboard.
    void cmdEncode_Click();
    void cmdDecode_Click();
    // The tray's "Encrypt Clipboard" and "Decrypt Clipboard": they work once the window
    // has been shown, so the user has seen which method is chosen.
    void mnuEncryptClipboard_Click();
    void mnuDecryptClipboard_Click();

    enum Tab {
        TabSignature = 0,
        TabProfiles = 1,
        TabEmail = 2,
        TabWallpaper = 3,
        TabEncryption = 4,
        TabPreferences = 5
    };

    QTabWidget* tabMain;
    SignatureTab* signatureTab;
    ProfilesTab* profilesTab;
    WallpaperTab* wallpaperTab;
    EncryptionTab* encryptionTab;
    PreferencesTab* preferencesTab;

    SignatureState& signatureState() { return m_signature; }
    bool blnActivated = false;
    bool blnQuitting = false;
    std::string strLastProfile;
    std::string strSigPath;
    std::string strWallpaperListFile;
    bool blnDecorative = true;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void subInitialise();
    void subGetSigPath();
    void applyProportionalFont();
    void tabChanged(int index);

    Settings& m_settings;
    Prompter& m_prompter;
    RandomSource& m_random;
    SignatureState m_signature;
    bool m_sessionEnding = false;
    bool m_settingsLoaded = false;
};

} // namespace quillmark
