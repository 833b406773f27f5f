#pragma once
// The Encryption tab: encode or decode a text with the rotation or the password method
// and put every result on the clipboard at once, ready to paste into a mail.

#include <QString>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <string>

class QPlainTextEdit;
class QPushButton;

namespace Ui {
class EncryptionTab;
}

namespace quillmark {

class Prompter;
class Settings;

class EncryptionTab : public QWidget {
    Q_OBJECT
public:
    explicit EncryptionTab(Prompter& prompter, QWidget* parent = nullptr);
    ~EncryptionTab() override;

    void loadSettings(Settings& settings);
    void saveSettings(Settings& settings);

    // The tray's "Encrypt Clipboard" and "Decrypt Clipboard" through the tab. Before the main window
    // was first activated the user has had no chance to choose a method, and is told to do that.
    void clipboardCommand(bool encode, bool mainWindowActivated);

private:
    static constexpr int kInput = 0;
    static constexpr int kOutput = 1;

    // What the tab last put into a box, kept while the box still shows it.
    struct BoxContent {
        QString exact;       // the text as set, line ends untouched
        QString shown;       // the box's plain text right after setting it
        bool legacy = false; // the text came from bytes that were not UTF-8
    };

    QPlainTextEdit* box(int index) const;
    QString boxText(int index) const;
    void setBoxText(int index, const QString& text, bool legacy = false);
    std::string boxBytes(int index) const;
    void setBoxBytes(int index, const std::string& bytes);

    // Encode or decode txtInput into txtOutput with the chosen method, then copy the
    // output to the clipboard (its old text too when nothing could be done).
    void runCommand(bool encode);
    // The rotation amount of txtROT, or nothing when it is not a number in (0, 26].
    std::optional<int> rotationAmount() const;

    void onCopyEncryptedClicked(int index);
    void onPasteEncryptedClicked(int index);

    Prompter& m_prompter;

    std::unique_ptr<Ui::EncryptionTab> m_ui;
    // Index 0 works on txtInput, index 1 on txtOutput.
    std::array<QPushButton*, 2> cmdCopyEncrypted;
    std::array<QPushButton*, 2> cmdPasteEncrypted;
    std::array<QPushButton*, 2> cmdDeleteEncrypted;
    std::array<BoxContent, 2> m_boxes;
};

} // namespace quillmark
