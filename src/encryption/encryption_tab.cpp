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

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QFont>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

namespace quillmark {

namespace {

QPushButton* makeButton(const QString& caption, const QString& name, QWidget* parent,
                        const QString& tip = {}) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    if (!tip.isEmpty())
        button->setToolTip(tip);
    return button;
}

QPlainTextEdit* makeTextBox(const QString& name, QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    // Ciphertext lines are easier to check and to compare in a fixed-width font.
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    box->setFont(font);
    return box;
}

} // namespace

EncryptionTab::EncryptionTab(Prompter& prompter, QWidget* parent) : QWidget(parent), m_prompter(prompter) {
    txtInput = makeTextBox(QStringLiteral("txtInput"), this);
    txtOutput = makeTextBox(QStringLiteral("txtOutput"), this);

    opnROT = new QRadioButton(tr("ROT"), this);
    opnROT->setObjectName(QStringLiteral("opnROT"));
    opnPassword = new QRadioButton(tr("Key"), this);
    opnPassword->setObjectName(QStringLiteral("opnPassword"));
    auto* group = new QButtonGroup(this);
    group->addButton(opnROT);
    group->addButton(opnPassword);
    group->setExclusive(true);

    txtROT = new QLineEdit(QStringLiteral("13"), this);
    txtROT->setObjectName(QStringLiteral("txtROT"));
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);

    cmdEncode = makeButton(tr("&Encode"), QStringLiteral("cmdEncode"), this, tr("Encode Input Text"));
    cmdDecode = makeButton(tr("&Decode"), QStringLiteral("cmdDecode"), this, tr("Decode Input Text"));
    cmdHelp = makeButton(tr("Hel&p!"), QStringLiteral("cmdHelp"), this,
                         tr("Display the Quillmark QuickStart Help"));
    for (int i = 0; i < 2; ++i) {
        const QString index = QString::number(i);
        cmdCopyEncrypted[i] = makeButton(tr("Copy"), QStringLiteral("cmdCopyEncrypted") + index, this);
        cmdPasteEncrypted[i] = makeButton(tr("Paste"), QStringLiteral("cmdPasteEncrypted") + index, this);
        cmdDeleteEncrypted[i] = makeButton(tr("Clear"), QStringLiteral("cmdDeleteEncrypted") + index, this);
    }

    opnROT->setChecked(true);
    txtPassword->setEnabled(false);

    auto* methods = new QHBoxLayout;
    methods->addWidget(opnROT);
    methods->addWidget(txtROT);
    methods->addSpacing(12);
    methods->addWidget(opnPassword);
    methods->addWidget(txtPassword, 1);
    methods->addStretch(1);
    methods->addWidget(cmdHelp);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(methods);
    for (int i = 0; i < 2; ++i) {
        layout->addWidget(box(i), 1);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(cmdCopyEncrypted[i]);
        buttons->addWidget(cmdPasteEncrypted[i]);
        buttons->addWidget(cmdDeleteEncrypted[i]);
        buttons->addStretch(1);
        if (i == kInput) {
            buttons->addWidget(cmdEncode);
            buttons->addWidget(cmdDecode);
        }
        layout->addLayout(buttons);
    }

    connect(opnPassword, &QRadioButton::toggled, txtPassword, &QLineEdit::setEnabled);
    connect(cmdEncode, &QPushButton::clicked, this, &EncryptionTab::cmdEncode_Click);
    connect(cmdDecode, &QPushButton::clicked, this, &EncryptionTab::cmdDecode_Click);
    connect(cmdHelp, &QPushButton::clicked, this,
            [this] { subShowHelp(m_prompter, QStringLiteral("encryption.htm")); });
    for (int i = 0; i < 2; ++i) {
        connect(cmdCopyEncrypted[i], &QPushButton::clicked, this, [this, i] { cmdCopyEncrypted_Click(i); });
        connect(cmdPasteEncrypted[i], &QPushButton::clicked, this, [this, i] { cmdPasteEncrypted_Click(i); });
        connect(cmdDeleteEncrypted[i], &QPushButton::clicked, this,
                [this, i] { cmdDeleteEncrypted_Click(i); });
    }
}

void EncryptionTab::loadSettings(Settings& settings) {
    const bool rotation =
        cipherMethodFromSetting(readText(settings, keys::kLastEncryptionMethod)) == CipherMethod::Rot;
    opnROT->setChecked(rotation);
    opnPassword->setChecked(!rotation);
}

void EncryptionTab::saveSettings(Settings& settings) {
    writeText(settings, keys::kLastEncryptionMethod,
              cipherMethodSetting(opnROT->isChecked() ? CipherMethod::Rot : CipherMethod::Password));
}

void EncryptionTab::cmdEncode_Click() {
    runCommand(true);
}

void EncryptionTab::cmdDecode_Click() {
    runCommand(false);
}

void EncryptionTab::clipboardCommand(bool encode, bool mainWindowActivated) {
    if (!mainWindowActivated) {
        m_prompter.message(this, tr("You need to set up which encryption method you want to use first"),
                           kProgramTitle, Prompter::Icon::Information, Prompter::Buttons::Ok);
        return;
    }
    setBoxText(kInput, QApplication::clipboard()->text());
    runCommand(encode);
}

void EncryptionTab::runCommand(bool encode) {
    WaitCursor wait;
    if (opnROT->isChecked()) {
        // An unusable amount leaves the output alone; its old text is still copied below.
        if (const std::optional<int> n = rotationAmount()) {
            const std::string input = boxBytes(kInput);
            setBoxBytes(kOutput, encode ? RotEncode(input, *n) : RotDecode(input, *n));
        }
    } else {
        const std::string input = boxBytes(kInput);
        const std::string password = bytesOf(txtPassword);
        setBoxBytes(kOutput, encode ? WrapEncrypted(EncryptText(input, password))
                                    : DecryptText(UnwrapEncrypted(input), password));
    }
    putOnClipboard(boxText(kOutput));
}

std::optional<int> EncryptionTab::rotationAmount() const {
    double value = 0;
    if (!isNumericText(txtROT->text(), &value) || value <= 0 || value > 26)
        return std::nullopt;
    // Halves go to the even neighbour (the default rounding mode): 2.5 -> 2, 3.5 -> 4.
    return static_cast<int>(std::nearbyint(value));
}

void EncryptionTab::cmdCopyEncrypted_Click(int index) {
    box(index)->setFocus();
    box(index)->selectAll();
    putOnClipboard(boxText(index));
}

void EncryptionTab::cmdPasteEncrypted_Click(int index) {
    setBoxText(index, QApplication::clipboard()->text());
    box(index)->setFocus();
    box(index)->selectAll();
}

void EncryptionTab::cmdDeleteEncrypted_Click(int index) {
    setBoxText(index, QString());
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
