#include "encryption/encryption_tab.h"

#include "encryption/encryption.h"
#include "encryption/envelope.h"
#include "support/ui_fixture.h"
#include "ui/help.h"
#include "ui/text_codec.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace quillmark {
namespace {

QString qs(std::string_view bytes) {
    return textFromBytes(bytes);
}

class EncryptionTabTest : public test::UiTest {
protected:
    QString clipboard() const { return QApplication::clipboard()->text(); }
    void usePassword(const QString& password) {
        tab.opnPassword->click();
        tab.txtPassword->setText(password);
    }

    EncryptionTab tab{prompter};
};

TEST_F(EncryptionTabTest, OneMethodIsOnAndOnlyTheKeyMethodTakesAPassword) {
    EXPECT_TRUE(tab.opnROT->isChecked());
    EXPECT_FALSE(tab.txtPassword->isEnabled());
    EXPECT_EQ(tab.txtROT->text(), QStringLiteral("13"));

    tab.opnPassword->click();
    EXPECT_FALSE(tab.opnROT->isChecked());
    EXPECT_TRUE(tab.txtPassword->isEnabled());

    tab.opnROT->click();
    EXPECT_FALSE(tab.opnPassword->isChecked());
    EXPECT_FALSE(tab.txtPassword->isEnabled());

    // The main window applies the saved method by setting both options in turn.
    tab.opnROT->setChecked(false);
    tab.opnPassword->setChecked(true);
    EXPECT_FALSE(tab.opnROT->isChecked());
    EXPECT_TRUE(tab.txtPassword->isEnabled());
}

TEST_F(EncryptionTabTest, TheRotationAmountIsRoundedAndUnusableAmountsOnlyCopyTheOldOutput) {
    tab.setInputText(QStringLiteral("Hello, xyz!"));
    tab.cmdEncode->click();
    EXPECT_EQ(tab.outputText(), QStringLiteral("Uryyb, klm!"));

    for (const char* amount : {"0", "27", "-3", "ten", "", "0x4"}) {
        QApplication::clipboard()->setText(QStringLiteral("something else"));
        tab.txtROT->setText(QString::fromLatin1(amount));
        tab.cmdEncode->click();
        EXPECT_EQ(tab.outputText(), QStringLiteral("Uryyb, klm!")) << amount;
        EXPECT_EQ(clipboard(), QStringLiteral("Uryyb, klm!")) << amount;
    }

    const std::pair<const char*, const char*> cases[] = {
        {"1e1", "Rovvy, hij!"}, {"2.5", "Jgnnq, zab!"}, {" 3.5 ", "Lipps, bcd!"}, {"26", "Hello, xyz!"}};
    for (const auto& [amount, expected] : cases) {
        tab.txtROT->setText(QString::fromLatin1(amount));
        tab.cmdEncode->click();
        EXPECT_EQ(tab.outputText(), QString::fromLatin1(expected)) << amount;
        EXPECT_EQ(clipboard(), QString::fromLatin1(expected)) << amount;
    }

    tab.txtROT->setText(QStringLiteral("3.5"));
    tab.setInputText(QStringLiteral("Lipps, bcd!\r\n"));
    tab.cmdDecode->click();
    EXPECT_EQ(clipboard(), QStringLiteral("Hello, xyz!\r\n"));
}

TEST_F(EncryptionTabTest, ThePasswordMethodPutsTheExactEnvelopeOnTheClipboardAndReadsItBack) {
    const QString plain = QStringLiteral("Meet at n\u00f6on,\r\nbring the key! $5\n");
    usePassword(QStringLiteral("s3cret pass"));
    tab.setInputText(plain);
    tab.cmdEncode->click();

    const std::string cipher = WrapEncrypted(EncryptText(plain.toStdString(), "s3cret pass"));
    ASSERT_EQ(cipher.rfind(std::string(kBeginLine) + "\r\n", 0), 0u);
    EXPECT_EQ(clipboard(), qs(cipher));
    EXPECT_EQ(tab.outputText(), qs(cipher));
    EXPECT_TRUE(clipboard().endsWith(QStringLiteral("\r\n") + qs(kEndLine)));

    // The tray's "Decrypt Clipboard" with the whole clipboard, both envelope lines included.
    tab.clipboardCommand(false, true);
    EXPECT_EQ(tab.inputText(), qs(cipher));
    EXPECT_EQ(tab.outputText(), plain);
    EXPECT_EQ(clipboard(), plain);

    // Pasted by hand, the box loses its CRs; the text still decodes, with LF line ends.
    tab.cmdDeleteEncrypted[0]->click();
    tab.txtInput->setPlainText(qs(cipher));
    tab.cmdDecode->click();
    EXPECT_EQ(clipboard(), QStringLiteral("Meet at n\u00f6on,\nbring the key! $5\n"));

    EXPECT_TRUE(prompter.calls.empty());
}

TEST_F(EncryptionTabTest, AnEmptyInputOrPasswordGivesTheEnvelopeAroundAnEmptyLine) {
    const QString empty = qs(kBeginLine) + QStringLiteral("\r\n\r\n") + qs(kEndLine);
    usePassword(QStringLiteral("x"));
    tab.cmdEncode->click();
    EXPECT_EQ(clipboard(), empty);

    tab.txtPassword->clear();
    tab.setInputText(QStringLiteral("not empty"));
    tab.cmdEncode->click();
    EXPECT_EQ(clipboard(), empty);
}

TEST_F(EncryptionTabTest, CopyPasteAndClearWorkOnTheirOwnBox) {
    const auto selectionIsWhole = [](QPlainTextEdit* box) {
        return box->textCursor().selectionStart() == 0 &&
               box->textCursor().selectionEnd() == box->document()->characterCount() - 1;
    };
    tab.setInputText(QStringLiteral("one\r\ntwo"));
    tab.cmdCopyEncrypted[0]->click();
    EXPECT_EQ(clipboard(), QStringLiteral("one\r\ntwo"));
    EXPECT_TRUE(selectionIsWhole(tab.txtInput));

    QApplication::clipboard()->setText(QStringLiteral("pasted\r\nlines"));
    tab.cmdPasteEncrypted[1]->click();
    EXPECT_EQ(tab.outputText(), QStringLiteral("pasted\r\nlines"));
    EXPECT_EQ(tab.inputText(), QStringLiteral("one\r\ntwo"));
    EXPECT_TRUE(selectionIsWhole(tab.txtOutput));

    tab.txtOutput->setPlainText(QStringLiteral("typed"));
    tab.cmdCopyEncrypted[1]->click();
    EXPECT_EQ(clipboard(), QStringLiteral("typed"));

    tab.cmdDeleteEncrypted[0]->click();
    EXPECT_TRUE(tab.txtInput->toPlainText().isEmpty());
    EXPECT_EQ(tab.outputText(), QStringLiteral("typed"));
    tab.cmdDeleteEncrypted[1]->click();
    EXPECT_TRUE(tab.outputText().isEmpty());
}

TEST_F(EncryptionTabTest, TrayCommandsBeforeTheFirstActivationOnlyExplain) {
    tab.setInputText(QStringLiteral("input"));
    tab.txtOutput->setPlainText(QStringLiteral("output"));
    QApplication::clipboard()->setText(QStringLiteral("clip"));

    tab.clipboardCommand(true, false);
    tab.clipboardCommand(false, false);

    ASSERT_EQ(prompter.messages().size(), 2u);
    for (const auto& message : prompter.messages()) {
        EXPECT_EQ(message.text,
                  QStringLiteral("You need to set up which encryption method you want to use first"));
        EXPECT_EQ(message.title, QStringLiteral("Quillmark"));
        EXPECT_EQ(message.icon, Prompter::Icon::Information);
        EXPECT_EQ(message.buttons, Prompter::Buttons::Ok);
    }
    EXPECT_EQ(tab.inputText(), QStringLiteral("input"));
    EXPECT_EQ(tab.outputText(), QStringLiteral("output"));
    EXPECT_EQ(clipboard(), QStringLiteral("clip"));
}

TEST_F(EncryptionTabTest, TheHelpButtonNamesTheMissingPage) {
    setHelpFolder(QString::fromStdString(dir.file("Help")));
    tab.cmdHelp->click();
    setHelpFolder({});

    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Sorry..."));
    EXPECT_TRUE(
        prompter.messages()[0].text.contains(QString::fromStdString(dir.file("Help/encryption.htm"))));
}

} // namespace
} // namespace quillmark
