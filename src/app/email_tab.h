#pragma once
// The E-Mail tab: recipient, subject, message and send date. Start-up switches the tab
// off; the date picker and the add-signature button are its only working controls.

#include <QDate>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

namespace Ui {
class EmailTab;
}

namespace quillmark {

class EmailTab : public QWidget {
    Q_OBJECT
public:
    // `signature` gives the Signature tab's signature; `today` the calendar's start without a date.
    EmailTab(std::function<QString()> signature, std::function<QDate()> today = &QDate::currentDate,
             QWidget* parent = nullptr);
    ~EmailTab() override;

    // Appends a line end and the current signature to the message.
    void onAddSignatureClicked();
    // Opens the calendar under the date button; a chosen date goes into the send-date box.
    void onSendDateClicked();

private:
    std::function<QString()> m_signature;
    std::function<QDate()> m_today;
    std::unique_ptr<::Ui::EmailTab> m_ui;
};

} // namespace quillmark
