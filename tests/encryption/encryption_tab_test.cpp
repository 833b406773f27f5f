#include "encryption/encryption_tab.h"

#include "encryption/encryption.h"
#include "encryption/envelope.h"
#include "support/ui_fixture.h"
#include "ui/text_codec.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace quillmark {
namespace {

class EncryptionTabTest : public test::UiTest {
protected:
    EncryptionTabTest() { tab.show(); }

    template <typename T> T* control(const char* name) {
        T* found = tab.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void click(const char* name) { QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton); }
    void type(const char* name, const QString& text) {
        auto* box = control<QLineEdit>(name);
        box->clear();
        QTest::keyClicks(box, text);
    }
    // Pastes `text` into a box as the user would, line ends untouched.
    void paste(const char* button, const QString& text) {
        QApplication::clipboard()->setText(text);
        click(button);
    }
    QString clipboard() const { return QApplication::clipboard()->text(); }

    EncryptionTab tab{prompter};
};

TEST_F(EncryptionTabTest, TheRotationAmountIsRoundedAndUnusableAmountsOnlyCopyTheOldOutput) {
    EXPECT_FALSE(control<QLineEdit>("txtPassword")->isEnabled());
    paste("cmdPasteEncrypted0", QStringLiteral("Hello, xyz!"));
    const std::pair<const char*, const char*> cases[] = {
        {"13", "Uryyb, klm!"},  {"0", "Uryyb, klm!"},     {"27", "Uryyb, klm!"},
        {"ten", "Uryyb, klm!"}, {"0x4", "Uryyb, klm!"},   {"1e1", "Rovvy, hij!"},
        {"2.5", "Jgnnq, zab!"}, {" 3.5 ", "Lipps, bcd!"}, {"26", "Hello, xyz!"}};
    for (const auto& [amount, expected] : cases) {
        QApplication::clipboard()->setText(QStringLiteral("something else"));
        type("txtROT", QString::fromLatin1(amount));
        click("cmdEncode");
        EXPECT_EQ(control<QPlainTextEdit>("txtOutput")->toPlainText(), QString::fromLatin1(expected))
            << amount;
        EXPECT_EQ(clipboard(), QString::fromLatin1(expected)) << amount;
    }
}

TEST_F(EncryptionTabTest, ThePasswordMethodPutsTheExactEnvelopeOnTheClipboardAndReadsItBack) {
    const QString plain = QStringLiteral("Meet at n\u00f6on,\r\nbring the key! $5\n");
    click("opnPassword");
    EXPECT_TRUE(control<QLineEdit>("txtPassword")->isEnabled());
    type("txtPassword", QStringLiteral("s3cret pass"));
    paste("cmdPasteEncrypted0", plain);
    click("cmdEncode");
    const QString cipher = textFromBytes(wrapEncrypted(encryptText(plain.toStdString(), "s3cret pass")));
    EXPECT_EQ(clipboard(), cipher);

    // The tray's "Decrypt Clipboard" with the whole clipboard, both envelope lines included.
    tab.clipboardCommand(false, true);
    EXPECT_EQ(clipboard(), plain);

    // Typed or pasted by hand, the box loses its CRs; the text still decodes, with LF line ends.
    click("cmdDeleteEncrypted0");
    control<QPlainTextEdit>("txtInput")->setPlainText(cipher);
    click("cmdDecode");
    EXPECT_EQ(clipboard(), QStringLiteral("Meet at n\u00f6on,\nbring the key! $5\n"));

    control<QLineEdit>("txtPassword")->clear();
    click("cmdEncode");
    EXPECT_EQ(clipboard(), textFromBytes(kBeginLine) + QStringLiteral("\r\n\r\n") + textFromBytes(kEndLine));
    EXPECT_TRUE(prompter.calls.empty());
}

TEST_F(EncryptionTabTest, BoxButtonsWorkOnTheirOwnBoxAndEarlyTrayCommandsOnlyExplain) {
    paste("cmdPasteEncrypted0", QStringLiteral("one\r\ntwo"));
    QApplication::clipboard()->clear();
    click("cmdCopyEncrypted0");
    EXPECT_EQ(clipboard(), QStringLiteral("one\r\ntwo"));

    paste("cmdPasteEncrypted1", QStringLiteral("pasted\r\nlines"));
    click("cmdCopyEncrypted1");
    EXPECT_EQ(clipboard(), QStringLiteral("pasted\r\nlines"));
    EXPECT_EQ(control<QPlainTextEdit>("txtInput")->toPlainText(), QStringLiteral("one\ntwo"));

    click("cmdDeleteEncrypted0");
    EXPECT_TRUE(control<QPlainTextEdit>("txtInput")->toPlainText().isEmpty());
    EXPECT_EQ(control<QPlainTextEdit>("txtOutput")->toPlainText(), QStringLiteral("pasted\nlines"));

    // The tray's commands before the first activation only explain.
    paste("cmdPasteEncrypted0", QStringLiteral("input"));
    QApplication::clipboard()->setText(QStringLiteral("clip"));
    tab.clipboardCommand(true, false);

    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text,
              QStringLiteral("You need to set up which encryption method you want to use first"));
    EXPECT_EQ(control<QPlainTextEdit>("txtInput")->toPlainText(), QStringLiteral("input"));
    EXPECT_EQ(clipboard(), QStringLiteral("clip"));
}

TEST_F(EncryptionTabTest, TheMethodIsLoadedAndSavedAsZeroForRotationElseOne) {
    const std::pair<const char*, bool> stored[] = {{"0", true}, {"1", false}, {"7", false}, {"", true}};
    for (const auto& [value, rotation] : stored) {
        settings.writeIni("SETTINGS", "Last Encryption Method", value);
        tab.loadSettings(settings);
        EXPECT_EQ(control<QRadioButton>("opnROT")->isChecked(), rotation) << value;
        EXPECT_EQ(control<QRadioButton>("opnPassword")->isChecked(), !rotation) << value;
        EXPECT_EQ(control<QLineEdit>("txtPassword")->isEnabled(), !rotation) << value;
    }
    click("opnPassword");
    tab.saveSettings(settings);
    EXPECT_NE(test::slurp(ini).find("LAST ENCRYPTION METHOD=1\n"), std::string::npos);
    click("opnROT");
    tab.saveSettings(settings);
    EXPECT_NE(test::slurp(ini).find("LAST ENCRYPTION METHOD=0\n"), std::string::npos);
}

} // namespace
} // namespace quillmark
