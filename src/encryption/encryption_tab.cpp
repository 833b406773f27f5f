#include "encryption/encryption_tab.h"

#include "encryption/encryption.h"
#include "encryption/envelope.h"
#include "settings/setting_keys.h"
#include "settings/typed_settings.h"
#include "ui/clipboard.h"
#include "ui/help.h"
#include "ui/prompter.h"
#include "ui/text_codec.h"
#include "ui/wait_cursor.h"

#include "ui_encryption_tab.h"

#include <QApplication>
#include <QClipboard>
#include <QFont>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

namespace quillmark {

EncryptionTab::EncryptionTab(Prompter& prompter, QWidget* parent)
    : QWidget(parent), m_prompter(prompter), m_ui(std::make_unique<Ui::EncryptionTab>()) {
    m_ui->setupUi(this);
    cmdCopyEncrypted = {m_ui->cmdCopyEncrypted0, m_ui->cmdCopyEncrypted1};
    cmdPasteEncrypted = {m_ui->cmdPasteEncrypted0, m_ui->cmdPasteEncrypted1};
    cmdDeleteEncrypted = {m_ui->cmdDeleteEncrypted0, m_ui->cmdDeleteEncrypted1};
    // Ciphertext lines are easier to check and to compare in a fixed-width font.
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    m_ui->txtInput->setFont(font);
    m_ui->txtOutput->setFont(font);

    connect(m_ui->opnPassword, &QRadioButton::toggled, m_ui->txtPassword, &QLineEdit::setEnabled);
    connect(m_ui->cmdEncode, &QPushButton::clicked, this, [this] { runCommand(true); });
    connect(m_ui->cmdDecode, &QPushButton::clicked, this, [this] { runCommand(false); });
    connect(m_ui->cmdHelp, &QPushButton::clicked, this,
            [this] { showHelp(m_prompter, QStringLiteral("encryption.htm")); });
    for (int i = 0; i < 2; ++i) {
        connect(cmdCopyEncrypted[i], &QPushButton::clicked, this, [this, i] { onCopyEncryptedClicked(i); });
        connect(cmdPasteEncrypted[i], &QPushButton::clicked, this, [this, i] { onPasteEncryptedClicked(i); });
        connect(cmdDeleteEncrypted[i], &QPushButton::clicked, this, [this, i] { setBoxText(i, QString()); });
    }
}

EncryptionTab::~EncryptionTab() = default;

void EncryptionTab::loadSettings(Settings& settings) {
    const bool rotation =
        cipherMethodFromSetting(readText(settings, keys::kLastEncryptionMethod)) == CipherMethod::Rot;
    m_ui->opnROT->setChecked(rotation);
    m_ui->opnPassword->setChecked(!rotation);
}

void EncryptionTab::saveSettings(Settings& settings) {
    writeText(settings, keys::kLastEncryptionMethod,
              cipherMethodSetting(m_ui->opnROT->isChecked() ? CipherMethod::Rot : CipherMethod::Password));
}

void EncryptionTab::clipboardCommand(bool encode, bool mainWindowActivated) {
    if (!mainWindowActivated) {
        m_prompter.message(this, tr("You need to set up which encryption method you want to use first"),
                           kProgramTitle, Prompter::Icon::Information);
        return;
    }
    setBoxText(kInput, QApplication::clipboard()->text());
    runCommand(encode);
}

void EncryptionTab::runCommand(bool encode) {
    WaitCursor wait;
    if (m_ui->opnROT->isChecked()) {
        // An unusable amount leaves the output alone; its old text is still copied below.
        if (const std::optional<int> n = rotationAmount()) {
            const std::string input = boxBytes(kInput);
            setBoxBytes(kOutput, encode ? rotEncode(input, *n) : rotDecode(input, *n));
        }
    } else {
        const std::string input = boxBytes(kInput);
        const std::string password = bytesOf(m_ui->txtPassword);
        setBoxBytes(kOutput, encode ? wrapEncrypted(encryptText(input, password))
                                    : decryptText(unwrapEncrypted(input), password));
    }
    putOnClipboard(boxText(kOutput));
}

std::optional<int> EncryptionTab::rotationAmount() const {
    double value = 0;
    if (!isNumericText(m_ui->txtROT->text(), &value) || value <= 0 || value > 26)
        return std::nullopt;
    // Halves go to the even neighbour (the default rounding mode): 2.5 -> 2, 3.5 -> 4.
    return static_cast<int>(std::nearbyint(value));
}

void EncryptionTab::onCopyEncryptedClicked(int index) {
    box(index)->setFocus();
    box(index)->selectAll();
    putOnClipboard(boxText(index));
}

void EncryptionTab::onPasteEncryptedClicked(int index) {
    setBoxText(index, QApplication::clipboard()->text());
    box(index)->setFocus();
    box(index)->selectAll();
}

QPlainTextEdit* EncryptionTab::box(int index) const {
    return index == kInput ? m_ui->txtInput : m_ui->txtOutput;
}

QString EncryptionTab::boxText(int index) const {
    const QString shown = box(index)->toPlainText();
    // Once the user has edited the box, its own text is what counts.
    return shown == m_boxes[index].shown ? m_boxes[index].exact : shown;
}

void EncryptionTab::setBoxText(int index, const QString& text, bool legacy) {
    box(index)->setPlainText(text);
    m_boxes[index] = {text, box(index)->toPlainText(), legacy};
}

std::string EncryptionTab::boxBytes(int index) const {
    return bytesFromText(boxText(index), m_boxes[index].legacy);
}

void EncryptionTab::setBoxBytes(int index, const std::string& bytes) {
    bool legacy = false;
    const QString text = textFromBytes(bytes, &legacy);
    setBoxText(index, text, legacy);
}

} // namespace quillmark
