#include "app/frm_main.h"
#include "app/preferences_tab.h"
#include "encryption/encryption_tab.h"
#include "profiles/profiles_tab.h"
#include "signature/signature_tab.h"
#include "support/ui_fixture.h"
#include "ui/help.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

namespace quillmark {
namespace {

class FrmMainTest : public test::UiTest {
protected:
    void prepareProfile() {
        test::spit(dir.file("h.txt"), "Alice\n%\nBob\n");
        test::spit(dir.file("f.txt"), "one\r\n%\r\ntwo\r\n");
        test::spit(ini, "; my settings\n[SETTINGS]\nINTERVAL_1=1\nBORING COLOUR SCHEME=True\n"
                        "LAST ENCRYPTION METHOD=1\n[Profiles]\nPROFILE 1=Home\nPROFILE 2=Work\n"
                        "HEADER FILE 2=" +
                            dir.file("h.txt") + "\nFOOTER FILE 2=" + dir.file("f.txt") +
                            "\nSIG FILE 2=" + dir.file("sig.txt") + "\n[User]\nLAST PROFILE=work\n");
    }
};

TEST_F(FrmMainTest, StartUpMakesTheLastProfileCurrentAndWritesASignature) {
    prepareProfile();
    random.values = {0.0f, 0.99f};
    frmMain w(settings, prompter, random);
    w.startUp();
    EXPECT_EQ(test::slurp(dir.file("sig.txt")), "-- \nAlice\ntwo\n");
    EXPECT_EQ(w.profilesTab->cmbProfileText(), "Work");
    EXPECT_EQ(w.strLastProfile, "Work");
    EXPECT_TRUE(w.signatureTab->tmr1->isActive());
    EXPECT_FALSE(w.tabMain->isTabEnabled(frmMain::TabEmail));
    EXPECT_EQ(w.signatureTab->txtInterval1->text(), QStringLiteral("1"));
    EXPECT_TRUE(w.preferencesTab->chkBoring->isChecked());
    EXPECT_FALSE(w.blnDecorative);
    EXPECT_TRUE(w.encryptionTab->opnPassword->isChecked());
    EXPECT_TRUE(prompter.messages().empty());
    // The comment and the user's lines survive the start-up writes.
    const std::string after = test::slurp(ini);
    EXPECT_EQ(after.rfind("; my settings\n[SETTINGS]\nINTERVAL_1=1\n", 0), 0u);
    EXPECT_NE(after.find("LAST PROFILE=Work"), std::string::npos);
}

TEST_F(FrmMainTest, FirstRunStoresDefaultsAndEmptyProfileLines) {
    frmMain w(settings, prompter, random);
    w.startUp();
    const std::string file = test::slurp(ini);
    for (const char* line : {"INTERVAL_1=60", "SIG SEPARATOR CHARACTER=%", "RUN AT BOOTUP=True",
                             "BORING COLOUR SCHEME=False", "LAST PROFILE=", "PROFILE 1="})
        EXPECT_NE(file.find(std::string(line) + "\n"), std::string::npos) << line;
    EXPECT_EQ(w.profilesTab->cmbProfile->count(), 0);
}

TEST_F(FrmMainTest, SaveWritesEveryControl) {
    prepareProfile();
    frmMain w(settings, prompter, random);
    w.startUp();
    w.signatureTab->txtInterval1->setText(QStringLiteral("30"));
    w.preferencesTab->chkStartUp->setChecked(false);
    w.preferencesTab->chkProportional->setChecked(false);
    w.encryptionTab->opnROT->setChecked(true);
    w.subSaveSettings();
    EXPECT_EQ(settings.ReadINIPlain("SETTINGS", "Interval_1"), "30");
    EXPECT_EQ(settings.ReadINIPlain("SETTINGS", "Run At Bootup"), "0");
    EXPECT_EQ(settings.ReadINIPlain("SETTINGS", "Display Proportional Fonts"), "0");
    EXPECT_EQ(settings.ReadINIPlain("SETTINGS", "Last Encryption Method"), "0");
    EXPECT_EQ(settings.ReadINIPlain("Wallpaper", "Shrink to fit screen"), "-1");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.path() + "/config/autostart/Quillmark.desktop")));
    w.preferencesTab->chkStartUp->setChecked(true);
    w.subSaveSettings();
    EXPECT_TRUE(QFile::exists(QString::fromStdString(dir.path() + "/config/autostart/Quillmark.desktop")));
}

TEST_F(FrmMainTest, ClosingAsksAndOnlyYesSaves) {
    prepareProfile();
    frmMain w(settings, prompter, random);
    w.startUp();
    w.signatureTab->txtInterval1->setText(QStringLiteral("45"));
    prompter.answers = {Prompter::Answer::No};
    QCloseEvent refused;
    QCoreApplication::sendEvent(&w, &refused);
    EXPECT_FALSE(refused.isAccepted());
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("Are you sure you want to close Quillmark?"));
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Exit Quillmark"));
    EXPECT_EQ(settings.ReadINIPlain("SETTINGS", "INTERVAL_1"), "1");

    // The session ending saves without a question.
    w.endSession();
    EXPECT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(settings.ReadINIPlain("SETTINGS", "INTERVAL_1"), "45");
}

TEST_F(FrmMainTest, StopRequestDuringAStartUpBoxKeepsTheUsersSettings) {
    prepareProfile();
    settings.WriteINI("SETTINGS", "Quillmark Run Before", false);
    setHelpFolder(QString::fromStdString(dir.file("no help here")));
    frmMain w(settings, prompter, random);
    // The missing quick-start page's box is open when the request comes, before the
    // encryption method has been read.
    prompter.whileOpen = [&w](const test::ScriptedPrompter::Call&) {
        w.endSession();
    };
    w.startUp();
    setHelpFolder({});
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_TRUE(prompter.messages()[0].text.startsWith(QStringLiteral("Help file not found.")));
    EXPECT_EQ(settings.ReadINIPlain("SETTINGS", "Last Encryption Method"), "1");
    EXPECT_EQ(settings.ReadINIPlain("SETTINGS", "Boring Colour Scheme"), "-1");
    EXPECT_EQ(settings.ReadINIPlain("SETTINGS", "Display Proportional Fonts"), "1");
    // Start-up stops there: no signature, no timer.
    EXPECT_FALSE(w.signatureTab->tmr1->isActive());
    EXPECT_EQ(test::slurp(dir.file("sig.txt")), "");
}

} // namespace
} // namespace quillmark
