#include "app/email_tab.h"

#include "support/ui_fixture.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace quillmark {
namespace {

class EmailTabTest : public test::UiTest {
protected:
    template <typename T> T* control(const char* name) {
        T* found = tab.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QCalendarWidget* openCalendar() {
        QTest::mouseClick(control<QPushButton>("cmdSendDate"), Qt::LeftButton);
        return tab.findChild<QCalendarWidget*>(QStringLiteral("calSendDate"));
    }

    QString signature = QStringLiteral("-- \nJane\nA quotation");
    QDate today{2026, 12, 6};
    EmailTab tab{[this] { return signature; },
                 [this] {
                     return today;
                 }};
};

TEST_F(EmailTabTest, AddSigAppendsALineEndAndTheCurrentSignature) {
    auto* message = control<QPlainTextEdit>("txtMessage");
    QTest::keyClicks(message, QStringLiteral("Hello Bob,"));
    QTest::mouseClick(control<QPushButton>("cmdAddSig"), Qt::LeftButton);
    EXPECT_EQ(message->toPlainText(), QStringLiteral("Hello Bob,\n-- \nJane\nA quotation"));
    // The signature is read at each click: a newer one is appended as it is now.
    signature = QStringLiteral("Second");
    QTest::mouseClick(control<QPushButton>("cmdAddSig"), Qt::LeftButton);
    EXPECT_EQ(message->toPlainText(), QStringLiteral("Hello Bob,\n-- \nJane\nA quotation\nSecond"));
    for (const char* name : {"txtTo", "txtSubject", "txtSendDate"})
        EXPECT_TRUE(control<QLineEdit>(name)->text().isEmpty()) << name;
}

TEST_F(EmailTabTest, CalendarWritesTheChosenDateInTheShortForm) {
    tab.show();
    QCalendarWidget* calendar = openCalendar();
    ASSERT_NE(calendar, nullptr);
    EXPECT_TRUE(calendar->isVisible());
    EXPECT_EQ(calendar->selectedDate(), today);
    calendar->setSelectedDate(QDate(2027, 1, 15));
    QTest::keyClick(calendar->focusProxy() ? calendar->focusProxy() : calendar, Qt::Key_Return);
    const QString expected = QLocale().toString(QDate(2027, 1, 15), QLocale::ShortFormat);
    EXPECT_EQ(control<QLineEdit>("txtSendDate")->text(), expected);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(tab.findChild<QCalendarWidget*>(QStringLiteral("calSendDate")), nullptr);

    // Opened again, the calendar starts on the date in the box.
    calendar = openCalendar();
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(calendar->selectedDate(), QDate(2027, 1, 15));
    calendar->close();
}

} // namespace
} // namespace quillmark
