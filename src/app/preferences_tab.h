#pragma once
// The Preferences tab: separator, signature folder, preview font, colour scheme, start-up options.
// The folder and the font act at once; the other boxes are written by the settings save.

#include <QWidget>
#include <memory>
#include <string>

namespace Ui {
class PreferencesTab;
}

namespace quillmark {

class Prompter;
class Settings;

class PreferencesTab : public QWidget {
    Q_OBJECT
public:
    PreferencesTab(Settings& settings, Prompter& prompter, QWidget* parent = nullptr);
    ~PreferencesTab() override;

    // The signature folder, read on its own: start-up needs it before the other settings.
    void loadSigPath();
    void loadSettings(Settings& settings);
    void saveSettings(Settings& settings);
    void saveSeparator(Settings& settings);

    const std::string& sigPath() const { return m_sigPath; }
    // The separator that splits the entries, from the stored bytes (the box shows text).
    const std::string& separator() const { return m_separator; }
    bool runAtBootup() const;
    bool proportionalFonts() const;
    bool boringColourScheme() const;

signals:
    // The user changed the separator; it takes effect at the next start.
    void separatorChanged();
    void sigPathAccepted(const std::string& folder);
    void proportionalFontsClicked(bool proportional);
    void boringColourSchemeClicked(bool boring);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onBrowseSigPathClicked();
    void onSigPathLeft();
    void acceptSigPath(const std::string& folder);

    Settings& m_settings;
    Prompter& m_prompter;
    std::string m_sigPath;
    std::string m_separator;
    // The separator as stored and as shown: an untouched box saves the stored bytes even
    // where the one-character box could not show them all.
    std::string m_storedSeparator;
    QString m_shownSeparator;
    std::unique_ptr<::Ui::PreferencesTab> m_ui;
};

} // namespace quillmark
