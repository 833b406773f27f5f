#include "app/email_tab.h"

#include <QCalendarWidget>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

namespace quillmark {

EmailTab::EmailTab(std::function<QString()> signature, std::function<QDate()> today, QWidget* parent)
    : QWidget(parent), m_signature(std::move(signature)), m_today(std::move(today)) {
    txtTo = new QLineEdit(this);
    txtTo->setObjectName(QStringLiteral("txtTo"));
    txtSubject = new QLineEdit(this);
    txtSubject->setObjectName(QStringLiteral("txtSubject"));
    txtMessage = new QPlainTextEdit(this);
    txtMessage->setObjectName(QStringLiteral("txtMessage"));
    txtSendDate = new QLineEdit(this);
    txtSendDate->setObjectName(QStringLiteral("txtSendDate"));
    cmdSendDate = new QPushButton(tr("&Date..."), this);
    cmdSendDate->setObjectName(QStringLiteral("cmdSendDate"));
    cmdSendDate->setToolTip(tr("Pick the send date from a calendar"));
    cmdAddSig = new QPushButton(tr("&Add Sig"), this);
    cmdAddSig->setObjectName(QStringLiteral("cmdAddSig"));
    cmdAddSig->setToolTip(tr("Add the current signature to the message"));

    auto* form = new QFormLayout;
    form->addRow(tr("To:"), txtTo);
    form->addRow(tr("Subject:"), txtSubject);
    auto* date = new QHBoxLayout;
    date->addWidget(txtSendDate, 1);
    date->addWidget(cmdSendDate);
    form->addRow(tr("Send on:"), date);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(tr("Message:"), this));
    layout->addWidget(txtMessage, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdAddSig);
    layout->addLayout(buttons);

    connect(cmdAddSig, &QPushButton::clicked, this, &EmailTab::cmdAddSig_Click);
    connect(cmdSendDate, &QPushButton::clicked, this, &EmailTab::cmdSendDate_Click);
}

void EmailTab::cmdAddSig_Click() {
    // Inserted at the end, so a long message is not copied out and back on every click.
    QTextCursor end(txtMessage->document());
    end.movePosition(QTextCursor::End);
    end.insertText(QLatin1Char('\n') + m_signature());
}

void EmailTab::cmdSendDate_Click() {
    const QLocale locale;
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    const QDate today = m_today();
    QDate start = locale.toDate(txtSendDate->text(), format);
    // A two-digit year reads as 19xx; the user meant the nearest century to today.
    if (start.isValid() && !format.contains(QStringLiteral("yyyy")))
        while (start.year() < today.year() - 50)
            start = start.addYears(100);
    if (!start.isValid())
        start = today;
    auto* popup = new QCalendarWidget(this);
    popup->setObjectName(QStringLiteral("calSendDate"));
    popup->setWindowFlags(Qt::Popup);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setSelectedDate(start);
    const auto choose = [this, popup](QDate chosen) {
        txtSendDate->setText(QLocale().toString(chosen, QLocale::ShortFormat));
        popup->close();
    };
    connect(popup, &QCalendarWidget::activated, this, choose);
    connect(popup, &QCalendarWidget::clicked, this, choose);
    popup->move(cmdSendDate->mapToGlobal(QPoint(0, cmdSendDate->height())));
    popup->show();
}

} // namespace quillmark
