#include "profiles/new_profile_dialog.h"

#include "profiles/profile_store.h"
#include "settings/name_case.h"
#include "ui/appearance.h"
#include "ui/prompter.h"
#include "ui/text_codec.h"
#include "ui_new_profile_dialog.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace quillmark {

NewProfileDialog::NewProfileDialog(Prompter& prompter, std::vector<std::string> existingNames,
                                   QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::NewProfileDialog>()), m_prompter(prompter),
      m_existing(std::move(existingNames)) {
    m_ui->setupUi(this);
    connect(m_ui->cmdNewProfileOK, &QPushButton::clicked, this, &NewProfileDialog::onOkClicked);
    connect(m_ui->cmdNewProfileCancel, &QPushButton::clicked, this, &QDialog::reject);

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    applyColourScheme(this);
}

NewProfileDialog::~NewProfileDialog() = default;

void NewProfileDialog::setPrompt(const QString& prompt, const QString& suggestion) {
    m_ui->lblPrompt->setText(prompt);
    m_ui->txtNewProfile->setText(suggestion);
    m_ui->txtNewProfile->selectAll();
}

void NewProfileDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_ui->txtNewProfile->setFocus();
}

void NewProfileDialog::onOkClicked() {
    const QString typed = m_ui->txtNewProfile->text();
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
        m_prompter.message(this, problem, tr("New Profile"), Prompter::Icon::Warning);
        m_ui->txtNewProfile->setFocus();
        m_ui->txtNewProfile->selectAll();
        return;
    }
    m_chosen = name;
    accept();
}

} // namespace quillmark
