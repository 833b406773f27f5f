#include "encryption/encryption_tab.h"

#include "encryption/encryption.h"
#include "encryption/envelope.h"
#include "support/ui_fixture.h"
#include "ui/text_codec.h"

#include <QtTest>
#include <QtWidgets>

namespace quillmark {
namespace {

using test::control;

class EncryptionTabTest : public test::UiTest {
protected:
    EncryptionTabTest() { tab.show(); }
    void click(const char* name) {
        QTest::mouseClick(control<QAbstractButton>(tab, QLatin1String(name)), Qt::LeftButton);
    }
    void type(const char* name, const QString& text) {
        control<QLineEdit>(tab, QLatin1String(name))->clear();
        QTest::keyClicks(control<QLineEdit>(tab, QLatin1String(name)), text);
    }
    void paste(const QString& text) {
        QApplication::clipboard()->setText(text);
        click("cmdPasteEncrypted0");
    }
    QString clipboard() const { return QApplication::clipboard()->text(); }

    EncryptionTab tab{prompter};
};

// Amounts are rounded half to even; one outside 1..26 or no number only copies the old output.
TEST_F(EncryptionTabTest, TheRotationAmountIsRoundedAndUnusableAmountsOnlyCopyTheOldOutput) {
    paste(QStringLiteral("Hello, xyz!"));
    const std::pair<const char*, const char*> cases[] = {
        {"13", "Uryyb, klm!"},  {"0", "Uryyb, klm!"},   {"27", "Uryyb, klm!"},    {"0x4", "Uryyb, klm!"},
        {"1e1", "Rovvy, hij!"}, {"2.5", "Jgnnq, zab!"}, {" 3.5 ", "Lipps, bcd!"}, {"26", "Hello, xyz!"}};
    for (const auto& [amount, expected] : cases) {
        QApplication::clipboard()->setText(QStringLiteral("something else"));
        type("txtROT", QString::fromLatin1(amount));
        click("cmdEncode");
        EXPECT_EQ(clipboard(), QString::fromLatin1(expected)) << amount;
    }
}

TEST_F(EncryptionTabTest, ThePasswordMethodPutsTheExactEnvelopeOnTheClipboardAndReadsItBack) {
    const QString plain = QStringLiteral("Meet at n\u00f6on,\r\nbring the key! $5\n");
    click("opnPassword");
    type("txtPassword", QStringLiteral("s3cret pass"));
    paste(plain);
    click("cmdEncode");
    const QString cipher = textFromBytes(wrapEncrypted(encryptText(plain.toStdString(), "s3cret pass")));
    EXPECT_EQ(clipboard(), cipher);
    // "Decrypt Clipboard" with the whole clipboard, both envelope lines included.
    tab.clipboardCommand(false, true);
    EXPECT_EQ(clipboard(), plain);
    // Set by hand, the box loses its CRs; the text still decodes, with LF line ends.
    click("cmdDeleteEncrypted0");
    control<QPlainTextEdit>(tab, QStringLiteral("txtInput"))->setPlainText(cipher);
    click("cmdDecode");
    EXPECT_EQ(clipboard(), QStringLiteral("Meet at n\u00f6on,\nbring the key! $5\n"));
}

} // namespace
} // namespace quillmark
