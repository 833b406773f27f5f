#include "app/email_tab.h"
#include "ui_email_tab.h"

#include <QCalendarWidget>
#include <QLocale>
#include <QPushButton>
#include <QTextCursor>

namespace quillmark {

EmailTab::EmailTab(std::function<QString()> signature, std::function<QDate()> today, QWidget* parent)
    : QWidget(parent), m_signature(std::move(signature)), m_today(std::move(today)),
      m_ui(std::make_unique<::Ui::EmailTab>()) {
    m_ui->setupUi(this);

    connect(m_ui->cmdAddSig, &QPushButton::clicked, this, &EmailTab::onAddSignatureClicked);
    connect(m_ui->cmdSendDate, &QPushButton::clicked, this, &EmailTab::onSendDateClicked);
}

EmailTab::~EmailTab() = default;

void EmailTab::onAddSignatureClicked() {
    // Inserted at the end, so a long message is not copied out and back on every click.
    QTextCursor end(m_ui->txtMessage->document());
    end.movePosition(QTextCursor::End);
    end.insertText(QLatin1Char('\n') + m_signature());
}

void EmailTab::onSendDateClicked() {
    const QLocale locale;
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    const QDate today = m_today();
    QDate start = locale.toDate(m_ui->txtSendDate->text(), format);
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
        m_ui->txtSendDate->setText(QLocale().toString(chosen, QLocale::ShortFormat));
        popup->close();
    };
    connect(popup, &QCalendarWidget::activated, this, choose);
    connect(popup, &QCalendarWidget::clicked, this, choose);
    popup->move(m_ui->cmdSendDate->mapToGlobal(QPoint(0, m_ui->cmdSendDate->height())));
    popup->show();
}

} // namespace quillmark
