#include "wizard/first_run_wizard.h"

#include "platform/file_io.h"
#include "platform/paths.h"
#include "ui/appearance.h"
#include "ui/prompter.h"
#include "ui/text_codec.h"
#include "ui/window_place.h"
#include "ui_first_run_wizard.h"
#include "wizard/first_profile.h"
#include "wizard/wizard_host.h"

#include <QCloseEvent>
#include <QPainter>
#include <QPushButton>

namespace quillmark {

namespace {

QString quoted(const std::string& bytes) {
    return QStringLiteral("\"") + textFromBytes(bytes) + QStringLiteral("\"");
}

} // namespace

FirstRunWizard::FirstRunWizard(WizardHost& host, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::FirstRunWizard>()), m_host(host),
      m_prompter(prompter) {
    m_ui->setupUi(this);
    for (QWidget* box : {m_ui->txtName, m_ui->txtEmail, m_ui->txtURL})
        box->installEventFilter(this);

    connect(m_ui->cmdNext0, &QPushButton::clicked, this, [this] { onNextClicked(0); });
    connect(m_ui->cmdNext1, &QPushButton::clicked, this, [this] { onNextClicked(1); });
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(m_ui->cmdHelp, &QPushButton::clicked, this, &FirstRunWizard::onHelpClicked);

    applyColourScheme(this);
    centreOn(this, screen());
}

FirstRunWizard::~FirstRunWizard() {
    // The boxes outlive the form's pointers while the window takes its children down.
    for (QWidget* box : {m_ui->txtName, m_ui->txtEmail, m_ui->txtURL})
        box->removeEventFilter(this);
}

void FirstRunWizard::onNextClicked(int index) {
    if (index == 0)
        ++m_step;
    else if (m_step >= 2)
        --m_step;
    if (m_step == 2 && !checkProfileName()) {
        m_step = 1;
        return;
    }
    if (m_step == 4) {
        m_ui->lblInfo->clear();
        if (!save()) {
            // Nothing was stored: the user can put things right and press Next again.
            m_step = 3;
            showStep();
            return;
        }
        m_prompter.message(
            this,
            tr("Your first profile has been created as ") + textFromBytes(m_sigFile) + QStringLiteral("\r") +
                tr("All you need to do now is point your e-mail program to the new signature!"),
            tr("Finished Wizard"), Prompter::Icon::Information);
        close();
        return;
    }
    showStep();
}

void FirstRunWizard::showStep() {
    switch (m_step) {
    case 1:
        m_ui->lblInfo->setText(tr("Choose a name for your first profile."));
        m_ui->cmdNext1->hide();
        m_ui->stkPages->setCurrentWidget(m_ui->pnlProfile);
        break;
    case 2:
        m_ui->lblInfo->setText(
            tr("This screen allows you to set up a simple header file.  You can always change it "
               "later from the main program."));
        m_ui->cmdNext1->show();
        m_ui->stkPages->setCurrentWidget(m_ui->pnlHeader);
        m_ui->txtName->setFocus();
        break;
    case 3:
        m_ui->lblInfo->setText(
            tr("Choose a random footer file from the list of samples.  These are all fully "
               "customisable once you start running Quillmark."));
        m_ui->cmdNext1->show();
        m_ui->stkPages->setCurrentWidget(m_ui->pnlFooter);
        break;
    default:
        break;
    }
}

bool FirstRunWizard::refuse(const QString& text) {
    m_prompter.message(this, text, kProgramTitle, Prompter::Icon::Warning);
    return false;
}

bool FirstRunWizard::refuseNotCreated(const Status& why) {
    return refuse(tr("Your profile has not been created: %1.").arg(QString::fromStdString(why.message())));
}

std::string FirstRunWizard::profileName() const {
    // Stored as typed: a name the settings file would give back changed is refused, not altered.
    return bytesFromText(m_ui->txtProfile->text());
}

bool FirstRunWizard::checkProfileName() {
    const std::string name = profileName();
    if (m_ui->txtProfile->text().trimmed().isEmpty())
        return refuse(tr("Please type in a name for this profile"));
    if (const Status valid = quillmark::checkProfileName(name); !valid)
        return refuse(QString::fromStdString(valid.message()));
    if (m_host.hasProfile(name))
        return refuse(tr("A profile called %1 already exists.\rPlease type another name.").arg(quoted(name)));
    return true;
}

bool FirstRunWizard::save() {
    // The list may have changed while the wizard was open: the main window stays usable.
    if (!checkProfileName())
        return false;
    // A full list is refused before the header file, perhaps the user's own, is replaced.
    if (const Status room = m_host.checkRoom(profileName()); !room)
        return refuseNotCreated(room);
    const ProfileRecord record =
        firstProfileRecord(m_host.sigPath(), profileName(), bytesFromText(m_ui->cmbFooter->currentText()));
    for (const std::string* path : {&record.headerFile, &record.footerFile, &record.sigFile}) {
        if (const Status storable = checkStorableValue(*path); !storable)
            return refuse(
                tr("Your profile cannot be stored: the path %1 cannot be kept in the settings file (%2).\r"
                   "Please choose a shorter signature folder in the Preferences.")
                    .arg(quoted(*path), QString::fromStdString(storable.message())));
    }

    const std::string header =
        firstHeaderText(bytesFromText(m_ui->txtName->text()), bytesFromText(m_ui->txtEmail->text()),
                        bytesFromText(m_ui->txtURL->text()));
    bool writeHeader = true;
    if (fileExists(record.headerFile)) {
        // A header file from an earlier start may hold the user's own edits.
        const Result<std::string> old = readFile(record.headerFile);
        if (old && *old == header) {
            writeHeader = false;
        } else {
            const Prompter::Answer answer = m_prompter.message(
                this,
                tr("The header file %1 already exists.\r\rReplace it with the details you typed? "
                   "Choose No to keep it as it is and use it in your new profile.")
                    .arg(quoted(record.headerFile)),
                tr("Replace file?"), Prompter::Icon::Question, Prompter::Buttons::YesNoCancel);
            if (answer == Prompter::Answer::Cancel)
                return false;
            writeHeader = answer == Prompter::Answer::Yes;
        }
    }
    if (writeHeader) {
        if (const Status written = writeFirstHeader(record.headerFile, header); !written)
            return refuse(
                tr("Your profile has not been created: the header file %1 could not be written.\r%2")
                    .arg(quoted(record.headerFile), QString::fromStdString(written.message())));
    }
    if (const Status saved = m_host.saveProfile(record); !saved)
        return refuseNotCreated(saved);
    m_sigFile = record.sigFile;
    m_finished = true;
    return true;
}

void FirstRunWizard::onHelpClicked() {
    m_host.showHelp(QStringLiteral("quickstart.htm"), this);
    bringWindowBack(this);
}

void FirstRunWizard::closeEvent(QCloseEvent* event) {
    if (!m_finished && m_prompter.message(this, tr("Are you sure you want to exit this wizard?"),
                                          tr("Exit Wizard?"), Prompter::Icon::Question,
                                          Prompter::Buttons::YesNoCancel) != Prompter::Answer::Yes) {
        event->ignore();
        return;
    }
    event->accept();
    m_host.wizardClosed();
}

void FirstRunWizard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintSchemeBackground(painter, m_ui->Image1, size());
}

bool FirstRunWizard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == m_ui->txtName)
            m_ui->lblInfo->setText(tr("An e-mail signature usually contains the sender's name"));
        else if (watched == m_ui->txtEmail)
            m_ui->lblInfo->setText(
                tr("Including your e-mail address is always useful  - especially if it is different to "
                   "the one you used to send the mail."));
        else if (watched == m_ui->txtURL)
            m_ui->lblInfo->setText(
                tr("If you have a homepage or company webpage you should put it here for people to "
                   "click on."));
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quillmark
