#include "app/email_tab.h"

#include "support/ui_fixture.h"

#include <QCalendarWidget>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace quillmark {
namespace {

using namespace Qt::StringLiterals;

class EmailTabTest : public test::UiTest {
protected:
    template <typename T> T* control(const char16_t* name) {
        return test::control<T>(tab, QString::fromUtf16(name));
    }
    QCalendarWidget* openCalendar() {
        QTest::mouseClick(control<QPushButton>(u"cmdSendDate"), Qt::LeftButton);
        return tab.findChild<QCalendarWidget*>(u"calSendDate"_s);
    }

    QString signature = u"-- \nJane"_s;
    EmailTab tab{[this] { return signature; },
                 [] {
                     return QDate(2026, 12, 6);
                 }};
};

TEST_F(EmailTabTest, AddSigAppendsALineEndAndTheSignatureAsItIsNow) {
    auto* message = control<QPlainTextEdit>(u"txtMessage");
    QTest::keyClicks(message, u"Hello Bob,"_s);
    QTest::mouseClick(control<QPushButton>(u"cmdAddSig"), Qt::LeftButton);
    signature = u"Second"_s;
    QTest::mouseClick(control<QPushButton>(u"cmdAddSig"), Qt::LeftButton);
    EXPECT_EQ(message->toPlainText(), u"Hello Bob,\n-- \nJane\nSecond"_s);
}

TEST_F(EmailTabTest, CalendarStartsOnTheDateInTheBoxAndWritesTheChosenOneInTheShortForm) {
    tab.show();
    QCalendarWidget* calendar = openCalendar();
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 12, 6));
    calendar->setSelectedDate(QDate(2027, 1, 15));
    QTest::keyClick(calendar->focusProxy() ? calendar->focusProxy() : calendar, Qt::Key_Return);
    EXPECT_EQ(control<QLineEdit>(u"txtSendDate")->text(),
              QLocale().toString(QDate(2027, 1, 15), QLocale::ShortFormat));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    calendar = openCalendar();
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(calendar->selectedDate(), QDate(2027, 1, 15));
    calendar->close();
}

} // namespace
} // namespace quillmark
