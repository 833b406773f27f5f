#include "profiles/frm_new_profile.h"

#include "profiles/profile_store.h"
#include "settings/name_case.h"
#include "ui/appearance.h"
#include "ui/prompter.h"
#include "ui/text_codec.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace quillmark {

frmNewProfile::frmNewProfile(Prompter& prompter, std::vector<std::string> existingNames, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_existing(std::move(existingNames)) {
    setObjectName(QStringLiteral("frmNewProfile"));
    setWindowTitle(tr("New Profile"));
    setModal(true);
    lblPrompt = new QLabel(tr("Please type the name of your new profile :"), this);
    lblPrompt->setObjectName(QStringLiteral("lblPrompt"));
    txtNewProfile = new QLineEdit(this);
    txtNewProfile->setObjectName(QStringLiteral("txtNewProfile"));
    cmdNewProfileOK = new QPushButton(tr("&OK"), this);
    cmdNewProfileOK->setObjectName(QStringLiteral("cmdNewProfileOK"));
    cmdNewProfileOK->setDefault(true);
    cmdNewProfileCancel = new QPushButton(tr("&Cancel"), this);
    cmdNewProfileCancel->setObjectName(QStringLiteral("cmdNewProfileCancel"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblPrompt);
    layout->addWidget(txtNewProfile);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdNewProfileOK);
    buttons->addWidget(cmdNewProfileCancel);
    layout->addLayout(buttons);

    connect(cmdNewProfileOK, &QPushButton::clicked, this, &frmNewProfile::cmdNewProfileOK_Click);
    connect(cmdNewProfileCancel, &QPushButton::clicked, this, &QDialog::reject);

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    subLoadPics(this);
}

void frmNewProfile::setPrompt(const QString& prompt, const QString& suggestion) {
    lblPrompt->setText(prompt);
    txtNewProfile->setText(suggestion);
    txtNewProfile->selectAll();
}

void frmNewProfile::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    txtNewProfile->setFocus();
}

void frmNewProfile::cmdNewProfileOK_Click() {
    const QString typed = txtNewProfile->text();
    if (typed.isEmpty()) {
        reject();
        return;
    }
    const std::string name = bytesFromText(typed);
    QString problem;
    if (Status valid = checkProfileName(name); !valid) {
        problem = QString::fromStdString(valid.message());
    } else {
        for (const std::string& existing : m_existing)
            if (sameNameIgnoringCase(existing, name)) {
                problem = tr("There is already a profile called \"%1\". Please choose another name.")
                              .arg(textFromBytes(existing));
                break;
            }
    }
    if (!problem.isEmpty()) {
        m_prompter.message(this, problem, tr("New Profile"), Prompter::Icon::Warning, Prompter::Buttons::Ok);
        txtNewProfile->setFocus();
        txtNewProfile->selectAll();
        return;
    }
    m_chosen = name;
    accept();
}

} // namespace quillmark
