#include "app/email_tab.h"

#include "support/ui_fixture.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace quillmark {
namespace {

using namespace Qt::StringLiterals;

class EmailTabTest : public test::UiTest {
protected:
    QString signature = u"-- \nJane"_s;
    EmailTab tab{[this] { return signature; },
                 [] {
                     return QDate(2026, 12, 6);
                 }};
};

TEST_F(EmailTabTest, AddSigAppendsALineEndAndTheSignatureAsItIsNow) {
    auto* message = test::control<QPlainTextEdit>(tab, "txtMessage");
    QTest::keyClicks(message, u"Hello Bob,"_s);
    QTest::mouseClick(test::control<QPushButton>(tab, "cmdAddSig"), Qt::LeftButton);
    signature = u"Second"_s;
    QTest::mouseClick(test::control<QPushButton>(tab, "cmdAddSig"), Qt::LeftButton);
    EXPECT_EQ(message->toPlainText(), u"Hello Bob,\n-- \nJane\nSecond"_s);
}

} // namespace
} // namespace quillmark
