#include "encryption/encryption_tab.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quillmark {

EncryptionTab::EncryptionTab(Prompter& prompter, QWidget* parent) : QWidget(parent), m_prompter(prompter) {
    opnROT = new QRadioButton(tr("ROT"), this);
    opnROT->setObjectName(QStringLiteral("opnROT"));
    opnPassword = new QRadioButton(tr("Key"), this);
    opnPassword->setObjectName(QStringLiteral("opnPassword"));
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    opnROT->setChecked(true);
    txtPassword->setEnabled(false);
    connect(opnPassword, &QRadioButton::toggled, txtPassword, &QLineEdit::setEnabled);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(opnROT);
    layout->addWidget(opnPassword);
    layout->addWidget(txtPassword);
    layout->addStretch(1);
}

} // namespace quillmark
