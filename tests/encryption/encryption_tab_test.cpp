#include "encryption/encryption_tab.h"

#include "encryption/encryption.h"
#include "encryption/envelope.h"
#include "support/ui_fixture.h"
#include "ui/text_codec.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace quillmark {
namespace {

class EncryptionTabTest : public test::UiTest {
protected:
    QString clipboard() const { return QApplication::clipboard()->text(); }
    EncryptionTab tab{prompter};
};

TEST_F(EncryptionTabTest, TheRotationAmountIsRoundedAndUnusableAmountsOnlyCopyTheOldOutput) {
    EXPECT_FALSE(tab.txtPassword->isEnabled());
    tab.setInputText(QStringLiteral("Hello, xyz!"));
    const std::pair<const char*, const char*> cases[] = {
        {"13", "Uryyb, klm!"},  {"0", "Uryyb, klm!"},     {"27", "Uryyb, klm!"},
        {"ten", "Uryyb, klm!"}, {"0x4", "Uryyb, klm!"},   {"1e1", "Rovvy, hij!"},
        {"2.5", "Jgnnq, zab!"}, {" 3.5 ", "Lipps, bcd!"}, {"26", "Hello, xyz!"}};
    for (const auto& [amount, expected] : cases) {
        QApplication::clipboard()->setText(QStringLiteral("something else"));
        tab.txtROT->setText(QString::fromLatin1(amount));
        tab.cmdEncode->click();
        EXPECT_EQ(tab.outputText(), QString::fromLatin1(expected)) << amount;
        EXPECT_EQ(clipboard(), QString::fromLatin1(expected)) << amount;
    }
}

TEST_F(EncryptionTabTest, ThePasswordMethodPutsTheExactEnvelopeOnTheClipboardAndReadsItBack) {
    const QString plain = QStringLiteral("Meet at n\u00f6on,\r\nbring the key! $5\n");
    tab.opnPassword->click();
    EXPECT_TRUE(tab.txtPassword->isEnabled());
    tab.txtPassword->setText(QStringLiteral("s3cret pass"));
    tab.setInputText(plain);
    tab.cmdEncode->click();
    const QString cipher = textFromBytes(WrapEncrypted(EncryptText(plain.toStdString(), "s3cret pass")));
    EXPECT_EQ(clipboard(), cipher);

    // The tray's "Decrypt Clipboard" with the whole clipboard, both envelope lines included.
    tab.clipboardCommand(false, true);
    EXPECT_EQ(tab.inputText(), cipher);
    EXPECT_EQ(clipboard(), plain);

    // Pasted by hand, the box loses its CRs; the text still decodes, with LF line ends.
    tab.cmdDeleteEncrypted[0]->click();
    tab.txtInput->setPlainText(cipher);
    tab.cmdDecode->click();
    EXPECT_EQ(clipboard(), QStringLiteral("Meet at n\u00f6on,\nbring the key! $5\n"));

    tab.txtPassword->clear();
    tab.cmdEncode->click();
    EXPECT_EQ(clipboard(), textFromBytes(kBeginLine) + QStringLiteral("\r\n\r\n") + textFromBytes(kEndLine));
    EXPECT_TRUE(prompter.calls.empty());
}

TEST_F(EncryptionTabTest, BoxButtonsWorkOnTheirOwnBoxAndEarlyTrayCommandsOnlyExplain) {
    tab.setInputText(QStringLiteral("one\r\ntwo"));
    tab.cmdCopyEncrypted[0]->click();
    EXPECT_EQ(clipboard(), QStringLiteral("one\r\ntwo"));

    QApplication::clipboard()->setText(QStringLiteral("pasted\r\nlines"));
    tab.cmdPasteEncrypted[1]->click();
    EXPECT_EQ(tab.outputText(), QStringLiteral("pasted\r\nlines"));
    EXPECT_EQ(tab.inputText(), QStringLiteral("one\r\ntwo"));

    tab.cmdDeleteEncrypted[0]->click();
    EXPECT_TRUE(tab.txtInput->toPlainText().isEmpty());
    EXPECT_EQ(tab.outputText(), QStringLiteral("pasted\r\nlines"));

    // The tray's commands before the first activation only explain.
    tab.setInputText(QStringLiteral("input"));
    QApplication::clipboard()->setText(QStringLiteral("clip"));
    tab.clipboardCommand(true, false);

    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text,
              QStringLiteral("You need to set up which encryption method you want to use first"));
    EXPECT_EQ(tab.inputText(), QStringLiteral("input"));
    EXPECT_EQ(clipboard(), QStringLiteral("clip"));
}

} // namespace
} // namespace quillmark
