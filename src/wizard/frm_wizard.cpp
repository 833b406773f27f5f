#include "wizard/frm_wizard.h"

#include "platform/file_io.h"
#include "platform/paths.h"
#include "ui/appearance.h"
#include "ui/prompter.h"
#include "ui/text_codec.h"
#include "wizard/first_profile.h"
#include "wizard/wizard_host.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace quillmark {

namespace {

QLabel* addLabel(const QString& text, QWidget* parent, QLayout* layout) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    layout->addWidget(label);
    return label;
}

QLineEdit* addBox(const QString& caption, const char* name, QWidget* parent, QGridLayout* grid) {
    const int row = grid->rowCount();
    auto* label = new QLabel(caption, parent);
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    label->setBuddy(box);
    grid->addWidget(label, row, 0);
    grid->addWidget(box, row, 1);
    return box;
}

QString quoted(const std::string& bytes) {
    return QStringLiteral("\"") + textFromBytes(bytes) + QStringLiteral("\"");
}

} // namespace

frmWizard::frmWizard(WizardHost& host, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window), m_host(host), m_prompter(prompter) {
    setObjectName(QStringLiteral("frmWizard"));
    setWindowTitle(tr("Quillmark Signature Wizard"));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setProperty("tag", QStringLiteral("bg"));
    Image1->hide();

    lblInfo =
        new QLabel(tr("This wizard will help you create your first signature file.  You can press "
                      "\"Cancel\" to skip this stage if you would rather just begin using the program."),
                   this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setWordWrap(true);
    lblInfo->setMinimumHeight(48);
    lblInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    pnlProfile = new QFrame(this);
    pnlProfile->setObjectName(QStringLiteral("pnlProfile"));
    auto* profileLayout = new QVBoxLayout(pnlProfile);
    addLabel(tr("Wizard Step 1 of 3"), pnlProfile, profileLayout);
    addLabel(
        tr("Thank you for installing Quillmark.  Please type a name for your first signature profile, or "
           "leave it as \"Friends\".  Then click the \"Next\" button to continue."),
        pnlProfile, profileLayout)
        ->setObjectName(QStringLiteral("lblMsg"));
    auto* profileGrid = new QGridLayout;
    txtProfile = addBox(tr("Profile Name :"), "txtProfile", pnlProfile, profileGrid);
    txtProfile->setText(QStringLiteral("Friends"));
    profileLayout->addLayout(profileGrid);
    profileLayout->addStretch(1);

    pnlHeader = new QFrame(this);
    pnlHeader->setObjectName(QStringLiteral("pnlHeader"));
    auto* headerLayout = new QVBoxLayout(pnlHeader);
    addLabel(tr("Wizard Step 2 of 3"), pnlHeader, headerLayout);
    auto* headerGrid = new QGridLayout;
    txtName = addBox(tr("Your Name :"), "txtName", pnlHeader, headerGrid);
    txtEmail = addBox(tr("Your E-Mail address :"), "txtEmail", pnlHeader, headerGrid);
    txtURL = addBox(tr("Your Web Page :"), "txtURL", pnlHeader, headerGrid);
    headerLayout->addLayout(headerGrid);
    headerLayout->addStretch(1);

    pnlFooter = new QFrame(this);
    pnlFooter->setObjectName(QStringLiteral("pnlFooter"));
    auto* footerLayout = new QVBoxLayout(pnlFooter);
    addLabel(tr("Choose a set of quotes"), pnlFooter, footerLayout);
    cmbFooter = new QComboBox(pnlFooter);
    cmbFooter->setObjectName(QStringLiteral("cmbFooter"));
    cmbFooter->addItems({tr("Creative Words"), tr("Humorous")});
    footerLayout->addWidget(cmbFooter);
    footerLayout->addStretch(1);

    cmdNext[0] = new QPushButton(tr("&Next >>"), this);
    cmdNext[0]->setObjectName(QStringLiteral("cmdNext0"));
    cmdNext[0]->setToolTip(tr("Progress through the wizard"));
    cmdNext[0]->setDefault(true);
    cmdNext[1] = new QPushButton(tr("<< &Back"), this);
    cmdNext[1]->setObjectName(QStringLiteral("cmdNext1"));
    cmdNext[1]->setToolTip(tr("Go back to the previous page"));
    cmdClose = new QPushButton(tr("&Cancel"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setToolTip(tr("Close the wizard and just start using Quillmark"));
    cmdHelp = new QPushButton(tr("&Help!"), this);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    cmdHelp->setToolTip(tr("Display the Quillmark QuickStart Help"));

    // The three pages share one cell, so each takes the same place in the window.
    auto* layout = new QGridLayout(this);
    layout->addWidget(lblInfo, 0, 0);
    layout->addWidget(pnlProfile, 1, 0);
    layout->addWidget(pnlHeader, 1, 0);
    layout->addWidget(pnlFooter, 1, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdHelp);
    buttons->addStretch(1);
    buttons->addWidget(cmdNext[1]);
    buttons->addWidget(cmdNext[0]);
    buttons->addWidget(cmdClose);
    layout->addLayout(buttons, 2, 0);
    layout->setRowStretch(1, 1);

    pnlHeader->hide();
    pnlFooter->hide();
    cmbFooter->setCurrentIndex(0);
    for (QLineEdit* box : {txtName, txtEmail, txtURL})
        box->installEventFilter(this);

    connect(cmdNext[0], &QPushButton::clicked, this, [this] { cmdNext_Click(0); });
    connect(cmdNext[1], &QPushButton::clicked, this, [this] { cmdNext_Click(1); });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdHelp, &QPushButton::clicked, this, &frmWizard::cmdHelp_Click);

    subLoadPics(this);
    resize(480, 300);
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->geometry();
        move((area.width() - width()) / 2, (area.height() - height()) / 2);
    }
}

void frmWizard::cmdNext_Click(int index) {
    if (index == 0)
        ++m_step;
    else if (m_step >= 2)
        --m_step;
    if (m_step == 2 && !checkProfileName()) {
        m_step = 1;
        return;
    }
    if (m_step == 4) {
        lblInfo->clear();
        if (!subSave()) {
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

void frmWizard::showStep() {
    switch (m_step) {
    case 1:
        lblInfo->setText(tr("Choose a name for your first profile."));
        cmdNext[1]->hide();
        pnlProfile->show();
        pnlHeader->hide();
        pnlFooter->hide();
        break;
    case 2:
        lblInfo->setText(
            tr("This screen allows you to set up a simple header file.  You can always change it "
               "later from the main program."));
        cmdNext[1]->show();
        pnlProfile->hide();
        pnlHeader->show();
        pnlFooter->hide();
        txtName->setFocus();
        break;
    case 3:
        lblInfo->setText(tr("Choose a random footer file from the list of samples.  These are all fully "
                            "customisable once you start running Quillmark."));
        cmdNext[1]->show();
        pnlProfile->hide();
        pnlHeader->hide();
        pnlFooter->show();
        break;
    default:
        break;
    }
}

bool frmWizard::refuse(const QString& text) {
    m_prompter.message(this, text, kProgramTitle, Prompter::Icon::Warning);
    return false;
}

std::string frmWizard::profileName() const {
    // Stored as typed: a name the settings file would give back changed is refused, not altered.
    return bytesFromText(txtProfile->text());
}

bool frmWizard::checkProfileName() {
    const std::string name = profileName();
    if (txtProfile->text().trimmed().isEmpty())
        return refuse(tr("Please type in a name for this profile"));
    if (const Status valid = quillmark::checkProfileName(name); !valid)
        return refuse(QString::fromStdString(valid.message()));
    if (m_host.hasProfile(name))
        return refuse(tr("A profile called %1 already exists.\rPlease type another name.").arg(quoted(name)));
    return true;
}

bool frmWizard::subSave() {
    // The list may have changed while the wizard was open: the main window stays usable.
    if (!checkProfileName())
        return false;
    const ProfileRecord record =
        firstProfileRecord(m_host.sigPath(), profileName(), bytesFromText(cmbFooter->currentText()));
    for (const std::string* path : {&record.headerFile, &record.footerFile, &record.sigFile}) {
        if (const Status storable = checkStorableValue(*path); !storable)
            return refuse(
                tr("Your profile cannot be stored: the path %1 cannot be kept in the settings file (%2).\r"
                   "Please choose a shorter signature folder in the Preferences.")
                    .arg(quoted(*path), QString::fromStdString(storable.message())));
    }

    const std::string header = firstHeaderText(
        bytesFromText(txtName->text()), bytesFromText(txtEmail->text()), bytesFromText(txtURL->text()));
    bool writeHeader = true;
    if (FileExists(record.headerFile)) {
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
        return refuse(
            tr("Your profile has not been created: %1.").arg(QString::fromStdString(saved.message())));
    m_sigFile = record.sigFile;
    m_finished = true;
    return true;
}

void frmWizard::cmdHelp_Click() {
    m_host.showHelp(QStringLiteral("quickstart.htm"), this);
    showNormal();
    raise();
    activateWindow();
}

void frmWizard::closeEvent(QCloseEvent* event) {
    if (!m_finished && m_prompter.message(this, tr("Are you sure you want to exit this wizard?"),
                                          tr("Exit Wizard?"), Prompter::Icon::Question,
                                          Prompter::Buttons::YesNoCancel) != Prompter::Answer::Yes) {
        event->ignore();
        return;
    }
    event->accept();
    m_host.wizardClosed();
}

void frmWizard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintSchemeBackground(painter, Image1, size());
}

bool frmWizard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == txtName)
            lblInfo->setText(tr("An e-mail signature usually contains the sender's name"));
        else if (watched == txtEmail)
            lblInfo->setText(
                tr("Including your e-mail address is always useful  - especially if it is different to "
                   "the one you used to send the mail."));
        else if (watched == txtURL)
            lblInfo->setText(
                tr("If you have a homepage or company webpage you should put it here for people to "
                   "click on."));
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quillmark
